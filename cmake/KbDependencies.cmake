# Third-party libraries, each wrapped in one target the modules link.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets OpenGL OpenGLWidgets SerialPort Network PrintSupport Svg Test)
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

# QScintilla (the G-code editor's text control) ships no CMake package.
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h
          PATH_SUFFIXES x86_64-linux-gnu/qt6 aarch64-linux-gnu/qt6 qt6 REQUIRED)
add_library(kb_qscintilla INTERFACE)
target_include_directories(kb_qscintilla SYSTEM INTERFACE ${QSCINTILLA_INCLUDE_DIR})
target_link_libraries(kb_qscintilla INTERFACE ${QSCINTILLA_LIBRARY} Qt6::Widgets Qt6::PrintSupport)
