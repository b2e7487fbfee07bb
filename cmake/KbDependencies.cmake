# Third-party libraries, each wrapped in one target the modules link.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets OpenGL OpenGLWidgets SerialPort Network PrintSupport Test)
find_package(PkgConfig REQUIRED)
find_package(OpenSceneGraph 3.6 REQUIRED COMPONENTS osgDB osgViewer osgText osgGA osgUtil)
find_package(OpenGL REQUIRED)
find_package(EXPAT REQUIRED)
find_package(Freetype REQUIRED)

pkg_check_modules(POLYCLIPPING REQUIRED IMPORTED_TARGET polyclipping)
pkg_check_modules(AGG REQUIRED IMPORTED_TARGET libagg)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)

add_library(kb_osg INTERFACE)
target_include_directories(kb_osg SYSTEM INTERFACE ${OPENSCENEGRAPH_INCLUDE_DIRS})
target_link_libraries(kb_osg INTERFACE ${OPENSCENEGRAPH_LIBRARIES} OpenGL::GL)

if(KB_TESTS)
  find_package(GTest REQUIRED)
endif()
if(KB_BENCH)
  find_package(benchmark REQUIRED)
endif()
