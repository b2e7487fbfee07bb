#pragma once
// The catalogue of every language-file key the program asks for.
//
// Code asks for a text only through a constant of this catalogue: free keys
// as `LangText(LangKeys::String::ErrorCaption)`, component texts as
// `LangToolWinCaption(LangKeys::frmToolWin::lblEti1)`. Each list below is
// the one source of both the constants and the table `LangCatalogue()`, and
// a test checks that the shipped english.lng holds a text for every entry of
// that table, so a key added here without its English text fails the tests.
//
// Adding a key: one line in the list of its kind, and its English text in
// data/languages/english.lng. The first argument is the file's section; it
// also names the constant's namespace, so a new section needs nothing else.
//
// Texts that carry a "%d" are patterns: fill them with `LangFormat`
// (core/Language.h), never with printf, since the file may hold anything.

#include <span>
#include <string>
#include <string_view>

// Free keys: X(section, identifier, key). The section is written as an
// identifier; it names both the file's section and the constant's namespace.
#define KB_LANG_TEXTS(X)                                                                              \
    /* Caption of error and warning boxes. */                                                         \
    /* The 2D simulation's move counter ("<text>3/120") and its machining time in the view. */        \
    X(String, SimMoveCounter, "717")                                                                  \
    X(String, SimMachiningTime, "754")                                                                \
    X(String, ErrorCaption, "450")                                                                    \
    /* Wrong kind of object for an edit command: "431", a line break, "432". */                      \
    X(String, WrongKind, "431")                                                                       \
    X(String, WrongKindHint, "432")                                                                   \
    /* Question before drawing a grid of more than 500 lines. */                                     \
    X(String, GridTooDense, "435")                                                                    \
    /* Join refused: lines not collinear, arcs not on one circle. */                                  \
    X(String, JoinNotCollinear, "461")                                                                \
    X(String, JoinNotSameCircle, "462")                                                               \
    /* Three-point arc through aligned points. */                                                     \
    X(String, ArcPointsAligned, "469")                                                                \
    /* Result line of move and copy to layer; one "%d": the object count. */                         \
    X(String, MovedToLayer, "487")                                                                    \
    X(String, CopiedToLayer, "488")                                                                   \
    /* After the name of a tool library or program that could not be opened or used. */              \
    X(String, CouldNotBeUsed, "453")                                                                  \
    /* Bitmap tracing: status text, work file not writable. */                                        \
    X(String, TraceStarted, "410")                                                                    \
    X(String, TraceFileLocked, "454")                                                                 \
    X(String, TraceFileLockedHint, "455")                                                             \
    /* Bitmap tracing: the tracer crashed, failed or ran too long. */                                 \
    X(String, TracerFailed, "TracerFailed")                                                           \
    X(String, FontNoOutlines, "FontNoOutlines")                                                       \
    /* STL input: facets left out for coordinates that are not numbers; one "%d": their count. */     \
    X(String, StlFacetsSkipped, "StlSkipped")                                                         \
    /* Transform commands: objects left as they were (no copy of their kind, or no uneven scale of */ \
    /* it); one "%d": their count.                                                                   */ \
    X(String, TransformSkipped, "TransformSkipped")                                                   \
    /* DXF import read in part: "%s" the left-out entities ("3 MTEXT, 1 HATCH"); damaged: "%s" the   */ \
    /* reason; the reasons of a file cut short: "%s" the section name, or no end marker.            */ \
    X(String, DxfPartlyRead, "DxfPartly")                                                             \
    X(String, DxfDamaged, "DxfDamaged")                                                               \
    /* A closed ellipse whose two corners lie on one line has no area. */                            \
    X(String, EllipseFlat, "EllipseFlat")                                                             \
    X(String, DxfTruncated, "DxfTruncated")                                                           \
    X(String, DxfNoEndMarker, "DxfNoEof")                                                             \
    /* Long computations: status text while one runs; the warning after the user's break, three     */ \
    /* lines.                                                                                        */ \
    X(String, ProgressRunning, "445")                                                                 \
    X(String, UserBreak1, "720")                                                                      \
    X(String, UserBreak2, "721")                                                                      \
    X(String, UserBreak3, "722")                                                                      \
    /* Chain label of the tool window, each after a count: closed chains, open chains, points.      */ \
    X(String, ChainInfoClosed, "718")                                                                 \
    X(String, ChainInfoOpen, "719")                                                                   \
    X(String, ChainInfoPoints, "725")                                                                 \
    /* Depth passes: "3 passes of 3", "1 pass of 10", "remainder 1", and the post without Z. */       \
    X(String, DepthPassesOf, "704")                                                                   \
    X(String, DepthPassOf, "705")                                                                     \
    X(String, DepthPassRemainder, "706")                                                              \
    X(String, DepthPassOmitZ, "724")                                                                  \
    /* A post-processor file that could not be read. */                                               \
    /* The first play of a program in a dialect the text simulation reads only in part. */            \
    X(String, DialectNotSimulated, "782")                                                             \
    /* The post-processor editor's texts. */                                                          \
    X(PstEdit, Caption, "Caption")                                                                    \
    X(PstEdit, grpSection, "grpSection")                                                              \
    X(PstEdit, mnuEdPstIns, "mnuEdPstIns")                                                            \
    X(PstEdit, mnuEdPstDel, "mnuEdPstDel")                                                            \
    X(PstEdit, grpMemo, "grpMemo")                                                                    \
    X(PstEdit, grpVar, "grpVar")                                                                      \
    X(PstEdit, sbtPstTestM, "sbtPstTestM")                                                            \
    X(PstEdit, sbtPstTestC, "sbtPstTestC")                                                            \
    X(PstEdit, sbtPstSave, "sbtPstSave")                                                              \
    X(PstEdit, sbtPstSaveAs, "sbtPstSaveAs")                                                          \
    X(PstEdit, sbtPstOk, "sbtPstOk")                                                                  \
    X(PstEdit, grpBtn, "grpBtn")                                                                      \
    X(String, PstLoadFailed, "783")                                                                   \
    /* Number formats of a post that could not be used: "%s" the post name, "%s" the keys.        */ \
    X(String, PstBadFormat, "PstBadFormat")                                                           \
    /* Program generation refused: machine families mixed, laser engraving without the laser      */ \
    /* dialect, tapping the post writes as plain moves; nothing to write.                           */ \
    X(String, ProgramMixedFamilies, "445-1")                                                          \
    X(String, ProgramNeedsLaser, "445-2")                                                             \
    X(String, ProgramExplodedTapping, "445-3")                                                        \
    /* The operations' machine family differs from the post's: "%s" the post, "%s" the post's   */   \
    /* family, "%s" the operations' family (the family names below).                               */  \
    X(String, ProgramWrongPost, "445-4")                                                              \
    X(String, FamilyMill, "FamilyMill")                                                               \
    X(String, FamilyLathe, "FamilyLathe")                                                             \
    X(String, FamilyLaser, "FamilyLaser")                                                             \
    X(String, ProgramEmpty, "468")                                                                    \
    /* Column titles of the properties panel: X/Y pair and single value. */                          \
    X(String, ColumnX, "1001")                                                                        \
    X(String, ColumnY, "1002")                                                                        \
    X(String, ColumnValue, "1005")                                                                    \
    /* Prompts of the interaction states, in the order of the prompt table's keys. */                 \
    X(String, PromptSelect, "470")                                                                    \
    X(String, PromptDragArea, "471")                                                                  \
    X(String, PromptPan, "472")                                                                       \
    X(String, PromptPlace, "473")                                                                     \
    X(String, PromptDrawPoints, "474")                                                                \
    X(String, PromptArcCentre, "475")                                                                 \
    X(String, PromptArcEnds, "476")                                                                   \
    X(String, PromptSelectOne, "477")                                                                 \
    X(String, PromptSelectMany, "477A")                                                               \
    X(String, PromptSelectSecond, "477B")                                                             \
    X(String, PromptBasePoint, "478")                                                                 \
    X(String, PromptTargetPoint, "479")                                                               \
    X(String, PromptEditPick, "480")                                                                  \
    X(String, PromptEditDrag, "481")                                                                  \
    X(String, PromptEllipseBox, "482")                                                                \
    X(String, PromptPickPoint, "483")                                                                 \
    X(String, PromptFirstPoint, "484")                                                                \
    X(String, PromptSecondPoint, "485")                                                               \
    /* Properties panel: page titles, row captions and buttons, by number. */                         \
    X(String, PanelPoint, "1100")                                                                     \
    X(String, PanelPosition, "1101")                                                                  \
    X(String, PanelPointGrid, "1110")                                                                 \
    X(String, PanelGridStepX, "1111")                                                                 \
    X(String, PanelGridStepY, "1112")                                                                 \
    X(String, PanelGridColumns, "1113")                                                               \
    X(String, PanelGridRows, "1114")                                                                  \
    X(String, PanelGridAngle, "1115")                                                                 \
    X(String, PanelBoltCircle, "1120")                                                                \
    X(String, PanelBoltDiameter, "1121")                                                              \
    X(String, PanelBoltStartAngle, "1122")                                                            \
    X(String, PanelBoltAngleStep, "1123")                                                             \
    X(String, PanelBoltHoles, "1124")                                                                 \
    X(String, PanelBoltRotation, "1127")                                                              \
    X(String, PanelLine, "1200")                                                                      \
    X(String, PanelStartPoint, "1201")                                                                \
    X(String, PanelEndPoint, "1202")                                                                  \
    X(String, PanelDeltaXY, "1203")                                                                   \
    X(String, PanelLength, "1204")                                                                    \
    X(String, PanelAngle, "1205")                                                                     \
    X(String, PanelPolarLine, "1210")                                                                 \
    X(String, PanelPolarLength, "1211")                                                               \
    X(String, PanelPolarAngle, "1212")                                                                \
    X(String, PanelTangentLineAngle, "1220")                                                          \
    X(String, PanelTangentLineArcs, "1230")                                                           \
    X(String, PanelRectangle, "1300")                                                                 \
    X(String, PanelFirstCorner, "1301")                                                               \
    X(String, PanelSecondCorner, "1302")                                                              \
    X(String, PanelWidth, "1303")                                                                     \
    X(String, PanelHeight, "1304")                                                                    \
    X(String, PanelCircleEntity, "1400")                                                              \
    X(String, PanelCircle, "1410")                                                                    \
    X(String, PanelCentre, "1411")                                                                    \
    X(String, PanelPointOnCircle, "1412")                                                             \
    X(String, PanelRadius, "1413")                                                                    \
    X(String, PanelCircleDiameter, "1420")                                                            \
    X(String, PanelDiameter, "1421")                                                                  \
    X(String, PanelArcEntity, "1500")                                                                 \
    X(String, PanelArcCentre, "1510")                                                                 \
    X(String, PanelArcCentrePoint, "1511")                                                            \
    X(String, PanelArcRadius, "1512")                                                                 \
    X(String, PanelStartAngle, "1513")                                                                \
    X(String, PanelEndAngle, "1514")                                                                  \
    X(String, PanelPolarArc, "1520")                                                                  \
    X(String, PanelPolarArcRadius, "1521")                                                            \
    X(String, PanelPolarArcStart, "1522")                                                             \
    X(String, PanelPolarArcEnd, "1523")                                                               \
    X(String, PanelArcTangentOne, "1530")                                                             \
    X(String, PanelArcTangentTwo, "1540")                                                             \
    X(String, PanelTangentRadius, "1541")                                                             \
    X(String, PanelEllipse, "1550")                                                                   \
    X(String, PanelEllipseFirst, "1551")                                                              \
    X(String, PanelEllipseSecond, "1552")                                                             \
    X(String, PanelThreePoints, "1560")                                                               \
    X(String, PanelPolyline, "1600")                                                                  \
    X(String, PanelPolylineBack, "1601")                                                              \
    X(String, PanelPolylineClose, "1602")                                                             \
    X(String, PanelPolylineVertices, "1603")                                                          \
    X(String, PanelSpline, "1700")                                                                    \
    X(String, PanelSplineBack, "1701")                                                                \
    X(String, PanelSplineClose, "1702")                                                               \
    X(String, PanelSplinePoints, "1703")                                                              \
    X(String, PanelBitmap, "1800")                                                                    \
    X(String, PanelBitmapFirst, "1801")                                                               \
    X(String, PanelBitmapSecond, "1802")                                                              \
    X(String, PanelBitmapWidth, "1803")                                                               \
    X(String, PanelBitmapHeight, "1804")                                                              \
    X(String, PanelBitmapOpacity, "1805")                                                             \
    X(String, PanelBlock, "1900")                                                                     \
    X(String, PanelInsertionPoint, "1901")                                                            \
    X(String, PanelBlockObjects, "1902")                                                              \
    X(String, PanelText, "1950")                                                                      \
    X(String, PanelFillet, "2010")                                                                    \
    X(String, PanelFilletRadius, "2011")                                                              \
    X(String, PanelTrim, "2020")                                                                      \
    X(String, PanelBreak, "2030")                                                                     \
    X(String, PanelDivide, "2040")                                                                    \
    X(String, PanelJoin, "2050")                                                                      \
    X(String, PanelExtend, "2060")                                                                    \
    X(String, PanelExtendLength, "2061")                                                              \
    X(String, PanelSimplify, "2090")                                                                  \
    X(String, PanelSimplifyTolerance, "2091")                                                         \
    X(String, PanelVerticesBefore, "2092")                                                            \
    X(String, PanelVerticesAfter, "2093")                                                             \
    X(String, PanelMeasure, "2200")                                                                   \
    X(String, PanelApply, "2210")                                                                     \
    /* Entity tree: the root, a layer (followed by its name), one text per kind of entity. */         \
    X(frmMain, TreeRoot, "twGeo00")                                                                   \
    X(frmMain, TreeLayer, "twGeo10")                                                                  \
    X(frmMain, TreePoint, "twGeo20")                                                                  \
    X(frmMain, TreeLine, "twGeo30")                                                                   \
    X(frmMain, TreeRectangle, "twGeo40")                                                              \
    X(frmMain, TreeArc, "twGeo50")                                                                    \
    X(frmMain, TreeCircle, "twGeo60")                                                                 \
    X(frmMain, TreeCurve, "twGeo70")                                                                  \
    X(frmMain, TreePolyline, "twGeo80")                                                               \
    X(frmMain, TreeSpline, "twGeo90")                                                                 \
    X(frmMain, TreeBitmap, "twGeoA0")                                                                 \
    X(frmMain, TreeBlock, "twGeoB0")                                                                  \
    X(frmMain, TreeText, "twGeoC0")                                                                   \
    X(frmMain, TreeStl, "twGeoD0")                                                                    \
    /* Operations tree: the root (then the post name), the parameters and toolpath children. */       \
    X(frmMain, OpTreeRoot, "twCnc01")                                                                 \
    X(frmMain, OpTreeParameters, "twCnc03")                                                           \
    X(frmMain, OpTreeToolpath, "twCnc04")                                                             \
    /* Operation captions: the lathe insert radius and the tool diameter, before their values. */     \
    X(frmMain, OpInsertRadius, "twCnc08")                                                             \
    X(frmMain, OpToolDiameter, "twCnc09")                                                             \
    /* Operation captions by kind. */                                                                 \
    X(frmMain, OpContour, "twCnc10")                                                                  \
    X(frmMain, OpPocket, "twCnc20")                                                                   \
    X(frmMain, OpDrilling, "twCnc30")                                                                 \
    X(frmMain, OpParallel3D, "twCnc40")                                                               \
    X(frmMain, OpLaserCut, "twCnc100")                                                                \
    X(frmMain, OpLaserEngrave, "twCnc110")                                                            \
    X(frmMain, OpLaserPocket, "twCnc120")                                                             \
    X(frmMain, OpLetters, "twCnc130")                                                                 \
    X(frmMain, OpLatheRough, "twCnc190")                                                              \
    X(frmMain, OpLatheFinish, "twCnc200")                                                             \
    /* Main window: caption of the current-layer button, before the number. */                       \
    X(frmMain, LayerButton, "309")                                                                    \
    /* File/Open: status while opening, the question before a drawing is replaced, and the warning */ \
    /* for a file of a kind that cannot be opened or read. */                                         \
    X(String, OpeningFile, "400")                                                                     \
    X(String, ClearDrawing, "452")                                                                    \
    X(String, FileNotOpened, "458")                                                                   \
    /* Save: status while the name is asked, the information for a format that is not written */   \
    /* and its caption, the warning for an empty drawing and the caption of save warnings. */         \
    X(String, SavingFile, "402")                                                                      \
    X(String, FormatNotWritten, "403")                                                                \
    X(String, FormatNotWrittenCaption, "404")                                                         \
    X(String, NothingToSave, "405")                                                                   \
    X(String, SaveCaption, "406")                                                                     \
    /* Tool records: a number on a tool page that does not convert. (A tool library that could not */ \
    /* be read is reported with the file name and "453", the tracer's text.) */                       \
    X(String, ToolBadNumber, "465")                                                                   \
    /* 2D generators: an open chain among the pocket's chains, and in the nested contour. */         \
    X(String, PocketOpenChain, "464")                                                                 \
    X(String, NestedOpenChain, "467")                                                                 \
    /* Calculate refused: a milling tool without a positive diameter ("%s" its name, "%s" the   */   \
    /* diameter); holding tabs switched on with none placed; a 3D feed plane below the top of the */   \
    /* surface ("%s" the feed plane, "%s" the top).                                                */  \
    X(String, ToolNoDiameter, "ToolNoDiameter")                                                       \
    X(String, NoTabPlaced, "NoTabPlaced")                                                             \
    X(String, RapidBelowSurface, "RapidBelowSurface")                                                 \
    /* Library list captions: the word before the size of lathe inserts and of mill tools. */        \
    X(String, LatheToolSize, "751")                                                                   \
    X(String, MillToolSize, "752")                                                                    \
    /* Lathe insert geometry description: title, name, insert type (0, 1), nose radius, variant. */   \
    X(String, LatheGeoTitle, "3100")                                                                  \
    X(String, LatheGeoName, "3103")                                                                   \
    X(String, LatheInsertType0, "3104")                                                               \
    X(String, LatheInsertType1, "3105")                                                               \
    X(String, LatheGeoType, "3109")                                                                   \
    X(String, LatheGeoRadius, "3110")                                                                 \
    X(String, LatheGeoVariant, "3115")                                                                \
    X(String, LatheVariantOff, "3116")                                                                \
    X(String, LatheVariantOn, "3117")                                                                 \
    /* Tool window, explode summary: nothing exploded; then "<n> <text>" parts: objects processed, */  \
    /* lines, arcs and circles, polylines, other objects copied out of blocks. */                     \
    X(frmToolWin, ExplodeNothing, "300")                                                              \
    X(frmToolWin, ExplodeProcessed, "301")                                                            \
    X(frmToolWin, ExplodeLines, "302")                                                                \
    X(frmToolWin, ExplodeArcs, "303")                                                                 \
    X(frmToolWin, ExplodePolylines, "304")                                                            \
    X(frmToolWin, ExplodeOthers, "ExplodeOthers")                                                     \
    /* Tool window: report line of the bitmap tracing. */                                             \
    X(frmToolWin, TraceReport, "strVec1")                                                             \
    /* Traced result: "%d" objects read, polyline points, objects removed; arc filter: "%d" arcs, */   \
    /* "%d" lines. */                                                                                 \
    X(frmToolWin, TraceResult, "strVec2")                                                             \
    X(frmToolWin, ArcFilterResult, "strFilter1")                                                      \
    /* Tool window captions of the command pages. */                                               \
    X(frmToolWin, CaptionTranslate, "twTrans")                                                        \
    X(frmToolWin, CaptionRotate, "twRotate")                                                          \
    X(frmToolWin, CaptionScale, "twScale")                                                            \
    X(frmToolWin, CaptionMirror, "twMirror")                                                          \
    X(frmToolWin, CaptionOffset, "twOffset")                                                          \
    X(frmToolWin, CaptionExplode, "twExplode")                                                        \
    X(frmToolWin, CaptionInfo, "twInfo")                                                              \
    X(frmToolWin, CaptionDelSmall, "twDelSmall")                                                      \
    X(frmToolWin, CaptionChangeLayer, "twCaLayer")                                                    \
    X(frmToolWin, CaptionTextTT, "twTextTT")                                                          \
    X(frmToolWin, CaptionTextSL, "twTextSL")                                                          \
    X(frmToolWin, CaptionPtAlong, "twPtAlong")                                                        \
    /* Stock-size panel: origin and size groups; their rows X, Y, top Z and X, Y, Z. */               \
    X(frmToolWin, SolSimOrigin, "SolSim100")                                                          \
    X(frmToolWin, SolSimSize, "SolSim101")                                                            \
    X(frmToolWin, SolSimOriginX, "SolSim110")                                                         \
    X(frmToolWin, SolSimOriginY, "SolSim111")                                                         \
    X(frmToolWin, SolSimTopZ, "SolSim112")                                                            \
    X(frmToolWin, SolSimSizeX, "SolSim113")                                                           \
    X(frmToolWin, SolSimSizeY, "SolSim114")                                                           \
    X(frmToolWin, SolSimSizeZ, "SolSim115")                                                           \
    /* Scale page: the factor label for uniform scaling and for X alone. */                           \
    X(frmToolWin, ScaleFactor, "310")                                                                 \
    X(frmToolWin, ScaleFactorX, "311")                                                                \
    /* Small entities: found, deleted (after their count). */                                         \
    X(String, SmallFound, "409")                                                                      \
    X(String, SmallDeleted, "411")                                                                    \
    /* Drawing statistics: root, bounds with its two corners, the counters, the points total. */      \
    X(String, StatsRoot, "195")                                                                       \
    X(String, StatsBounds, "166")                                                                     \
    X(String, StatsLowerLeft, "167")                                                                  \
    X(String, StatsUpperRight, "168")                                                                 \
    X(String, StatsPoints, "187")                                                                     \
    X(String, StatsLines, "188")                                                                      \
    X(String, StatsRectangles, "194")                                                                 \
    X(String, StatsArcs, "189")                                                                       \
    X(String, StatsEllipses, "192")                                                                   \
    X(String, StatsPolylines, "191")                                                                  \
    X(String, StatsSplines, "163")                                                                    \
    X(String, StatsBlocks, "193")                                                                     \
    X(String, StatsTexts, "196")                                                                      \
    X(String, StatsHidden, "197")                                                                     \
    X(String, StatsPointsTotal, "198")                                                                \
    /* Tool window, 3D page: the boundary chain was picked. */                                        \
    X(frmToolWin, Chain3DSet, "lbl3dChainInfo1")                                                      \
    /* Chain picking: the picked entity cannot be made into a chain. */                               \
    X(String, NotChainable, "463")                                                                    \
    /* The operation has no chains (holding tabs, Calculate). */                                 \
    X(String, NoChainsForTabs, "459")                                                                 \
    /* Lead-in and lead-out dialog: title, entry and exit group, kinds none, line, arc, length. */    \
    X(String, LeadTitle, "2830")                                                                      \
    X(String, LeadEntry, "2831")                                                                      \
    X(String, LeadExit, "2832")                                                                       \
    X(String, LeadNone, "2833")                                                                       \
    X(String, LeadLine, "2834")                                                                       \
    X(String, LeadArc, "2835")                                                                        \
    X(String, LeadLength, "2836")                                                                     \
    /* Lathe entry and exit vectors: titles, length labels, angle label. */                           \
    X(String, LatheEntryTitle, "3010")                                                                \
    X(String, LatheEntryLength, "3011")                                                               \
    X(String, LatheAngle, "3015")                                                                     \
    X(String, LatheExitTitle, "3020")                                                                 \
    X(String, LatheExitLength, "3021")                                                                \
    /* Lathe insert geometry: first edge length, second edge length, second edge angle, first edge angle. */\
    X(String, LatheGeoEdge1, "3111")                                                                  \
    X(String, LatheGeoEdge2, "3112")                                                                  \
    X(String, LatheGeoAngle2, "3113")                                                                 \
    X(String, LatheGeoAngle1, "3114")                                                                 \
    /* Close button of the lead and lathe dialogs. */                                                 \
    X(String, DialogClose, "3050")                                                                    \
    /* Close of the main window: the question. */                                                     \
    X(String, CloseQuestion, "451")                                                                   \
    /* Clear all: the check box that also deletes the machining operations. */                       \
    X(String, DeleteOperationsToo, "723")                                                             \
    /* Status texts: vectorise page, placement of an opened file, layer and grid dialogs, post, */    \
    /* tool, chain, parameter and drilling pages, small-entities page, after a recent command. */     \
    X(String, StatusVectorize, "414")                                                                 \
    X(String, StatusPlacement, "416")                                                                 \
    X(String, StatusLayerDialog, "418")                                                               \
    X(String, StatusGridDialog, "420")                                                                \
    X(String, StatusPostPage, "421")                                                                  \
    X(String, StatusToolPage, "424")                                                                  \
    X(String, StatusChainPage, "433")                                                                 \
    X(String, StatusParameterPage, "425")                                                             \
    X(String, StatusDrillPage, "434")                                                                 \
    X(String, StatusDeleteSmall, "430")                                                               \
    X(String, StatusRecentHint, "486")                                                                \
    /* The toolpath-to-geometry dialog. */                                                            \
    X(String, TLP2GeoCaption, "2870")                                                                 \
    X(String, TLP2GeoGroup, "2871")                                                                   \
    X(String, TLP2GeoToDrawing, "2872")                                                               \
    X(String, TLP2GeoToFile, "2873")                                                                  \
    X(String, TLP2GeoLayer, "2874")                                                                   \
    X(String, TLP2GeoFile, "2875")                                                                    \
    X(String, TLP2GeoOk, "2876")                                                                      \
    X(String, TLP2GeoCancel, "2877")                                                                  \
    /* The external G-code editor did not start; "%s": the reason. */                                 \
    X(String, EditorNotStarted, "EditorNotStarted")                                                   \
    /* Operation pages: the Z summary when the top of part is not below the feed plane (or the   */   \
    /* retract plane) and when it is below the depth; the drilling increment and pitch labels;    */  \
    /* the compensation sides (mill and lathe) and the shown text of the pockets and roughing;    */  \
    /* the lead button without leads; a text of the pages that is no number; no STL surface.      */  \
    X(String, ZTopNotBelowRapid, "702")                                                               \
    X(String, ZTopBelowDepth, "703")                                                                  \
    X(String, CycleIncrement, "715")                                                                  \
    X(String, CyclePitch, "716")                                                                      \
    X(String, CompSideOff, "2800")                                                                    \
    X(String, CompSideOutside, "2801")                                                                \
    X(String, CompSideInside, "2802")                                                                 \
    X(String, LatheSide0, "2810")                                                                     \
    X(String, LatheSide1, "2811")                                                                     \
    X(String, LatheSide2, "2812")                                                                     \
    X(String, CompSideFixed, "2813")                                                                  \
    X(String, LeadButtonNone, "2837")                                                                 \
    X(String, LeadButtonSet, "2838")                                                                  \
    X(String, PageBadNumber, "PageBadNumber")                                                         \
    X(String, NoStlSurface, "2600")                                                                   \
    /* Machining: deleting every operation; nothing to post (its caption is SaveCaption). */          \
    X(String, DeleteAllOperations, "466")                                                             \
    /* Update check: progress window captions and labels, question ("813" has "%s": the version), */ \
    /* failure, no update, done, saving, installer not started.                                      */ \
    X(String, UpdateCaption, "800")                                                                   \
    X(String, UpdateProduct, "801")                                                                   \
    X(String, UpdateInstalled, "802")                                                                 \
    X(String, UpdatePageVersion, "803")                                                               \
    X(String, UpdateQuestion, "804")                                                                  \
    X(String, UpdateFailed, "805")                                                                    \
    X(String, UpdateNone, "806")                                                                      \
    X(String, UpdateDone, "807")                                                                      \
    X(String, UpdateDownloading, "808")                                                               \
    X(String, UpdateInfoCaption, "809")                                                               \
    X(String, UpdateSaveTo, "810")                                                                    \
    X(String, UpdateAvailable, "813")                                                                 \
    X(String, UpdateCannotRun, "UpdateCannotRun")                                                     \
    /* Help or web page that the desktop could not open; "%s": the address. */                       \
    X(String, HelpCannotOpen, "HelpCannotOpen")                                                       \
    /* Post-processor older than version 3: shown after "450". */                                    \
    X(String, PstOldVersion, "469v3")                                                                 \
    /* The external editor chosen is not a program; "%s": the file. */                                \
    X(String, EditorNotExecutable, "EditorNotExecutable")                                             \
    /* Lathe feed units: per minute and per revolution, millimetres then inches. */                   \
    X(String, LatheFeedMinMm, "748")                                                                  \
    X(String, LatheFeedRevMm, "750")                                                                  \
    X(String, LatheFeedMinInch, "747")                                                                \
    X(String, LatheFeedRevInch, "749")                                                                \
    /* Hints of the drawing commands on the recent-commands toolbar. */                              \
    X(frmMain, RecentPoint, "242")                                                                    \
    X(frmMain, RecentLine, "241")                                                                     \
    X(frmMain, RecentRectangle, "sbtRectangle.Hint")                                                  \
    X(frmMain, RecentCircle, "200")                                                                   \
    X(frmMain, RecentEllipse, "204")                                                                  \
    X(frmMain, RecentPolyline, "sbtPoly.Hint")                                                        \
    X(frmMain, RecentSpline, "sbtSpline.Hint")                                                        \
    X(frmMain, RecentArcCentre, "202")                                                                \
    X(frmMain, RecentArc3Pt, "261")                                                                   \
    X(frmMain, RecentCircle3Pt, "260")                                                                \
    X(frmMain, RecentDeleteSmall, "222")                                                              \
    X(frmMain, RecentChangeLayer, "210")                                                              \
    X(frmMain, RecentOffset, "217")                                                                   \
    X(frmMain, RecentInfo, "230")                                                                     \
    X(frmMain, RecentTextTT, "252")                                                                   \
    X(frmMain, RecentTextSL, "253")                                                                   \
    X(frmMain, RecentPtAlong, "251")                                                                  \
    /* A point grid or bolt circle of more points than the program makes at once. */                  \
    X(String, TooManyPoints, "TooManyPoints")                                                         \
    X(frmMain, RecentPointGrid, "248")                                                                \
    X(frmMain, RecentBoltCircle, "249")                                                               \
    X(frmMain, RecentLinePolar, "243")                                                                \
    X(frmMain, RecentLinePerp, "246")                                                                 \
    X(frmMain, RecentLineTangentArcs, "244")                                                          \
    X(frmMain, RecentLineTangentAngle, "245")                                                         \
    X(frmMain, RecentCircleDiameter, "201")                                                           \
    X(frmMain, RecentArcPolar, "203")                                                                 \
    X(frmMain, RecentArcTangentOne, "247")                                                            \
    X(frmMain, RecentArcTangentTwo, "254")                                                            \
    X(frmMain, RecentEllipseOpen, "205")                                                              \
    X(frmMain, RecentDelete, "220")                                                                   \
    X(frmMain, RecentWindowDelete, "221")                                                             \
    X(frmMain, RecentFillet, "206")                                                                   \
    X(frmMain, RecentTrim, "207")                                                                     \
    X(frmMain, RecentBreak, "208")                                                                    \
    X(frmMain, RecentDivide, "224")                                                                   \
    X(frmMain, RecentJoin, "225")                                                                     \
    X(frmMain, RecentExtend, "209")                                                                   \
    X(frmMain, RecentExplode, "240")                                                                  \
    X(frmMain, RecentMoveNode, "212")                                                                 \
    X(frmMain, RecentSimplify, "211")                                                                 \
    X(frmMain, RecentTranslate, "213")                                                                \
    X(frmMain, RecentRotate, "214")                                                                   \
    X(frmMain, RecentMirror, "215")                                                                   \
    X(frmMain, RecentScale, "216")                                                                    \
    X(frmMain, RecentSelect, "232")                                                                   \
    X(frmMain, RecentDistance, "250")                                                                 \
    X(frmMain, RecentEndPoints, "231")                                                                \
    /* Tool-window captions of the machining pages and the items of their lists. */                   \
    X(frmToolWin, twContour, "twContour")                                                             \
    X(frmToolWin, twPocket, "twPocket")                                                               \
    X(frmToolWin, twLetters, "twLetters")                                                             \
    X(frmToolWin, twDrill, "twDrill")                                                                 \
    X(frmToolWin, twParallel, "twParallel")                                                           \
    X(frmToolWin, twLatheFin, "twLatheFin")                                                           \
    X(frmToolWin, twLaserEng, "twLaserEng")                                                           \
    X(frmToolWin, twLaserCut, "twLaserCut")                                                           \
    X(frmToolWin, twLatheRou, "twLatheRou")                                                           \
    X(frmToolWin, twLaserPocket, "twLaserPocket")                                                     \
    X(frmToolWin, twSim, "twSim")                                                                     \
    X(frmToolWin, twPostSel, "twPostSel")                                                             \
    X(frmToolWin, cboMethod0, "cboMethod0")                                                           \
    X(frmToolWin, cboMethod1, "cboMethod1")                                                           \
    X(frmToolWin, cboMethod2, "cboMethod2")                                                           \
    X(frmToolWin, cboDepthCutOrder0, "cboDepthCutOrder0")                                             \
    X(frmToolWin, cboDepthCutOrder1, "cboDepthCutOrder1")                                             \
    X(frmToolWin, cboCutRules0, "cboCutRules0")                                                       \
    X(frmToolWin, cboCutRules1, "cboCutRules1")                                                       \
    X(frmToolWin, cboCutRules2, "cboCutRules2")                                                       \
    /* Machine window console: no banner after the reset; a run ended by an answer ("%s" the file's */ \
    /* line number, "%s" the reply); an error listed in check mode (the same); a program that could  */ \
    /* not be opened ("%s" its name); a port that did not open ("%s" the device, "%s" the reason).   */ \
    X(frmGRBL, NoBanner, "NoBanner")                                                                  \
    X(frmGRBL, RunStopped, "RunStopped")                                                              \
    X(frmGRBL, CheckError, "CheckError")                                                              \
    X(frmGRBL, FileNotOpened, "FileNotOpened")                                                        \
    X(frmGRBL, PortNotOpened, "PortNotOpened")                                                        \
    /* Why a run stopped: no answer while resting ("%s" the line last sent, "%s" the unanswered     */ \
    /* line, "%s" the reported state); no status ("%s" that line, "%s" seconds); an alarm ("%s" the  */ \
    /* alarm, "%s" the line); a reset, an abort ("%s" the line); the port lost ("%s" the line, "%s"  */ \
    /* the reason); the port lost outside a run ("%s" the reason).                                   */ \
    X(frmGRBL, NoAnswer, "NoAnswer")                                                                  \
    X(frmGRBL, NoStatus, "NoStatus")                                                                  \
    X(frmGRBL, AlarmInRun, "AlarmInRun")                                                              \
    X(frmGRBL, ResetInRun, "ResetInRun")                                                              \
    X(frmGRBL, Aborted, "Aborted")                                                                    \
    X(frmGRBL, PortLostInRun, "PortLostInRun")                                                        \
    X(frmGRBL, PortLost, "PortLost")                                                                  \
    /* A command given up on outside a run ("%s" the command, "%s" the reported state).              */ \
    X(frmGRBL, NoAnswerCommand, "NoAnswerCommand")                                                    \
    /* Open-geometry panel: tree roots and lines; vectorise command without an image; page captions. */\
    X(String, OpenGeoDxf, "180")                                                                      \
    X(String, OpenGeoSvg, "181")                                                                      \
    X(String, OpenGeoStl, "2500")                                                                     \
    X(String, OpenGeoBmp, "116")                                                                      \
    X(String, OpenGeoJpeg, "117")                                                                     \
    X(String, RasterInfo, "118")                                                                      \
    X(String, RasterFile, "110")                                                                      \
    X(String, RasterWidth, "111")                                                                     \
    X(String, RasterHeight, "112")                                                                    \
    X(String, RasterBits, "113")                                                                      \
    X(String, RasterResolution, "114")                                                                \
    X(String, RasterCompression, "115")                                                               \
    X(String, GeoFileName, "182")                                                                     \
    X(String, GeoMinimum, "183")                                                                      \
    X(String, GeoMaximum, "184")                                                                      \
    X(String, GeoSizeX, "185")                                                                        \
    X(String, GeoSizeY, "186")                                                                        \
    X(String, GeoObjects, "171")                                                                      \
    X(String, DxfCircles, "190")                                                                      \
    X(String, NoImageOpened, "407")                                                                   \
    X(String, VectorizeCaption, "408")                                                                \
    X(frmToolWin, CaptionOpenDxf, "twOpDxf")                                                          \
    X(frmToolWin, CaptionOpenSvg, "twOpSvg")                                                          \
    X(frmToolWin, CaptionOpenBmp, "twOpBmp")                                                          \
    X(frmToolWin, CaptionOpenJpg, "twOpJpg")                                                          \
    X(frmToolWin, CaptionOpenStl, "twOpStl")                                                          \
    X(frmToolWin, CaptionVectorize, "twVect")                                                         \
    /* An SVG read in part: shapes with coordinates that are not numbers, or too many points. */      \
    X(String, SvgPartlyRead, "SvgPartly")                                                             \
    /* The title's mark of a file read only in part; an open that left out the file's operations. */  \
    X(String, PartlyReadTitle, "PartlyReadTitle")                                                     \
    X(String, OperationsKept, "OpsKept")                                                              \
    /* The lathe pages: the home position, entry and exit buttons. */                                \
    X(String, LatheHomeButton, "3000")                                                                \
    X(String, LatheEntryButton, "3012")                                                               \
    X(String, LatheExitButton, "3022")                                                                \
    /* Letters page: the label command's caption and its hint on the recent-commands toolbar. */      \
    X(frmToolWin, CaptionTextLabel, "twSLabel")                                                       \
    X(frmMain, RecentTextLabel, "mnuTextLabel.Hint")                                                  \
    /* Tool window, 3D page: no boundary chain. */                                                    \
    X(frmToolWin, Chain3DNone, "lbl3dChainInfo0")                                                     \
    /* Laser engraving page: the pixel size of the picked bitmap. */                                  \
    X(frmToolWin, strPixelDim, "strPixelDim")

// Components whose texts code asks for by name: X(section, name, caption,
// hint, items). The name is the component's name (a Qt objectName); caption
// and hint say whether "<name>.Caption" and "<name>.Hint" are needed, items
// how many "<name>.items[<i>]" (0 to items - 1).
#define KB_LANG_COMPONENTS(X)                                                                         \
    X(frmMain, mnuFile, true, false, 0)                                                               \
    X(frmMain, mnuNew, true, true, 0)                                                                 \
    X(frmMain, mnuOpen, true, true, 0)                                                                \
    X(frmMain, mnuSave, true, true, 0)                                                                \
    X(frmMain, mnuSaveAs, true, true, 0)                                                              \
    X(frmMain, mnuExit, true, true, 0)                                                                \
    X(frmMain, GraphicView, false, true, 0)                                                           \
    X(frmMain, mnuDraw, true, false, 0)                                                               \
    X(frmMain, mnuPointPosition, true, true, 0)                                                       \
    X(frmMain, mnuLineEndPt, true, true, 0)                                                           \
    X(frmMain, mnuRectangle, true, true, 0)                                                           \
    X(frmMain, mnuCircleCtPt, true, true, 0)                                                          \
    X(frmMain, mnuEllipseClose, true, true, 0)                                                        \
    X(frmMain, mnuPoly, true, true, 0)                                                                \
    X(frmMain, mnuSpline, true, true, 0)                                                              \
    X(frmMain, mnuArcCtPtSaEa, true, true, 0)                                                         \
    X(frmMain, mnuArc3Pt, true, true, 0)                                                              \
    X(frmMain, mnuCircle3Pt, true, true, 0)                                                           \
    X(frmMain, mnuView, true, false, 0)                                                               \
    X(frmMain, mnuLayers, true, true, 0)                                                              \
    X(frmMain, mnuGrid, true, true, 0)                                                                \
    X(frmMain, toolWin, true, false, 0)                                                               \
    X(frmMain, tbrFile, true, false, 0)                                     \
    X(frmMain, tbrView, true, false, 0)                                     \
    X(frmMain, tbrCreate, true, false, 0)                                   \
    X(frmMain, tbrEdit, true, false, 0)                                     \
    X(frmMain, tbrMRU, true, false, 0)                                      \
    X(frmMain, mnuMerge, true, true, 0)                                     \
    X(frmMain, mruRecentFiles, true, false, 0)                              \
    X(frmMain, sbtSave, false, true, 0)                                     \
    X(frmMain, sbtOpen, false, true, 0)                                     \
    X(frmMain, sbtAutozoom, true, true, 0)                                  \
    X(frmMain, sbtZoomIn, true, true, 0)                                    \
    X(frmMain, sbtZoomBack, true, true, 0)                                  \
    X(frmMain, sbtZoomWin, true, true, 0)                                   \
    X(frmMain, sbtPan, true, true, 0)                                       \
    X(frmMain, sbtRedraw, true, true, 0)                                    \
    X(frmMain, sbtTopView, true, true, 0)                                   \
    X(frmMain, sbtFrontView, true, true, 0)                                 \
    X(frmMain, sbtSideView, true, true, 0)                                  \
    X(frmMain, sbtIsoView, true, true, 0)                                   \
    X(frmMain, mnuDone, true, false, 0)                                     \
    X(frmMain, mnuCancel, true, false, 0)                                   \
    X(frmMain, mnuCoord, true, false, 0)                                    \
    X(frmMain, mnuSnapTo, true, false, 0)                                   \
    X(frmMain, mnuPan, true, false, 0)                                      \
    X(frmMain, mnuAutozoom, true, false, 0)                                 \
    X(frmMain, mnuZoomWindow, true, false, 0)                               \
    X(frmMain, mnuZoomIn, true, false, 0)                                   \
    X(frmMain, mnuZoomOut, true, false, 0)                                  \
    X(frmMain, mnuWinSelect, true, true, 0)                                 \
    X(frmMain, mnuOrtho, true, true, 0)                                     \
    X(frmMain, mnuSBSnapTo, true, false, 0)                                 \
    X(frmMain, mnuSBEndpoint, true, false, 0)                               \
    X(frmMain, mnuSBMidpoint, true, false, 0)                               \
    X(frmMain, mnuSBCenter, true, false, 0)                                 \
    X(frmMain, mnuSBPoint, true, false, 0)                                  \
    X(frmMain, mnuSBAuto, true, false, 0)                                   \
    X(frmMain, mnuSBSnap2Grid, true, false, 0)                              \
    X(frmMain, mnuSBGridSet, true, false, 0)                                \
    X(frmMain, sbtSnap, false, true, 0)                                     \
    X(frmMain, sbtAxisOnOff, false, true, 0)                                \
    X(frmMain, sbtGridOnOff, false, true, 0)                                \
    X(frmMain, sbtCancel, false, true, 0)                                   \
    X(frmMain, sbtDone, false, true, 0)                                     \
    X(frmMain, sbtLayer, false, true, 0)                                    \
    X(frmMain, mnuCncNew, true, false, 0)                                   \
    X(frmMain, mnuCncContour, true, false, 0)                               \
    X(frmMain, mnuCncPocket, true, false, 0)                                \
    X(frmMain, mnuCncDrill, true, false, 0)                                 \
    X(frmMain, mnuCncWrite, true, false, 0)                                 \
    X(frmMain, mnuCncParallel, true, false, 0)                              \
    X(frmMain, mnuEditNc, true, false, 0)                                   \
    X(frmMain, mnuCncGrbl, true, false, 0)                                  \
    X(frmMain, sbtCnc, false, true, 0)                                      \
    X(frmMain, mnuLayerDialog, true, false, 0)                              \
    X(frmMain, mnuLayerOnOff, true, false, 0)                               \
    X(frmMain, mnuLayerHide, true, false, 0)                                \
    X(frmMain, mnuLayerShow, true, false, 0)                                \
    X(frmMain, mnuGeoDelete, true, false, 0)                                \
    /* The Create and Edit toolbars: items, split buttons, undo. */                                   \
    X(frmMain, mnuPointGrid, true, false, 0)                                \
    X(frmMain, mnuBoltPoint, true, false, 0)                                \
    X(frmMain, mnuPtAlong, true, false, 0)                                  \
    X(frmMain, mnuLinePolar, true, false, 0)                                \
    X(frmMain, mnuLinePerp, true, false, 0)                                 \
    X(frmMain, mnuLineTangent2Arc, true, false, 0)                          \
    X(frmMain, mnuLineTangentAngle, true, false, 0)                         \
    X(frmMain, sbtRectangle, true, false, 0)                                \
    X(frmMain, mnuCircleCtDia, true, false, 0)                              \
    X(frmMain, mnuArcPolar, true, false, 0)                                 \
    X(frmMain, mnuArcTangent1, true, false, 0)                              \
    X(frmMain, mnuArcTangent2, true, false, 0)                              \
    X(frmMain, mnuEllipseOpen, true, false, 0)                              \
    X(frmMain, sbtPoly, true, false, 0)                                     \
    X(frmMain, sbtSpline, true, false, 0)                                   \
    X(frmMain, mnuTextTT, true, false, 0)                                   \
    X(frmMain, mnuTextSL, true, false, 0)                                   \
    X(frmMain, mnuDelete, true, false, 0)                                   \
    X(frmMain, mnuWindowDelete, true, false, 0)                             \
    X(frmMain, mnuDeleteSmall, true, false, 0)                              \
    X(frmMain, mnuFillet, true, false, 0)                                   \
    X(frmMain, mnuTrim, true, false, 0)                                     \
    X(frmMain, mnuBreak, true, false, 0)                                    \
    X(frmMain, mnuDivide, true, false, 0)                                   \
    X(frmMain, mnuJoin, true, false, 0)                                     \
    X(frmMain, mnuExtend, true, false, 0)                                   \
    X(frmMain, mnuExplode, true, false, 0)                                  \
    X(frmMain, mnuMoveNode, true, false, 0)                                 \
    X(frmMain, mnuChangeLayer, true, false, 0)                              \
    X(frmMain, mnuPolySemplify, true, false, 0)                             \
    X(frmMain, mnuTranslate, true, false, 0)                                \
    X(frmMain, mnuRotate, true, false, 0)                                   \
    X(frmMain, mnuMirror, true, false, 0)                                   \
    X(frmMain, mnuScale, true, false, 0)                                    \
    X(frmMain, mnuOffset, true, false, 0)                                   \
    X(frmMain, mnuSelect, true, false, 0)                                   \
    X(frmMain, mnuInfoEntities, true, false, 0)                             \
    X(frmMain, mnuDistance, true, false, 0)                                 \
    X(frmMain, mnuShowEndpoints, true, false, 0)                            \
    X(frmMain, sbtPoint, false, true, 0)                                    \
    X(frmMain, sbtLine, false, true, 0)                                     \
    X(frmMain, sbtArc, false, true, 0)                                      \
    X(frmMain, sbtText, false, true, 0)                                     \
    X(frmMain, sbtDelete, false, true, 0)                                   \
    X(frmMain, sbtModify, false, true, 0)                                   \
    X(frmMain, sbtXform, false, true, 0)                                    \
    X(frmMain, sbtAnalyze, false, true, 0)                                  \
    X(frmMain, sbtUndo, false, true, 0)                                     \
    X(frmMain, mnuSelPost, true, false, 0)                                                            \
    X(frmMain, mnuEditParam, true, false, 0)                                                          \
    X(frmMain, mnuShowNci, true, false, 0)                                                            \
    X(frmMain, mnuSimulate, true, false, 0)                                                           \
    X(frmMain, mnuOpOnOff, true, false, 0)                                                            \
    X(frmMain, mnuPostThis, true, false, 0)                                                           \
    X(frmMain, mnuTp2Geo, true, false, 0)                                                             \
    X(frmMain, sbtRunPst, true, false, 0)                                                             \
    X(frmMain, sbtChangePst, true, false, 0)                                                          \
    /* Typed coordinates. */                                                                          \
    X(frmCoord, frmCoord, true, false, 0)                                                             \
    X(frmCoord, lblCoordX, true, false, 0)                                                            \
    X(frmCoord, lblCoordY, true, false, 0)                                                            \
    X(frmCoord, btnOk, true, false, 0)                                                                \
    X(frmCoord, btnCancel, true, false, 0)                                                            \
    X(frmMain, tabGeo, true, false, 0)                                                                \
    X(frmMain, tabCnc, true, false, 0)                                                                \
    X(frmMain, sbtShowHidePath, true, false, 0)                                                       \
    X(frmToolWin, lblEti1, true, false, 0)                                                            \
    X(frmToolWin, lblEti2, true, false, 0)                                                            \
    X(frmToolWin, lblEti3, true, false, 0)                                                            \
    X(frmToolWin, lblEti4, true, false, 0)                                                            \
    X(frmToolWin, lblEti5, true, false, 0)                                                            \
    X(frmToolWin, sbtEtiPosXY, true, false, 0)                                                        \
    X(frmToolWin, sbtEtiApply, true, false, 0)                                                        \
    X(frmToolWin, grpDir, true, false, 0)                                                             \
    X(frmToolWin, lblDir0, true, false, 0)                                                            \
    X(frmToolWin, lblDir1, true, false, 0)                                                            \
    X(frmToolWin, lblDir2, true, false, 0)                                                            \
    X(frmToolWin, lblDir3, true, false, 0)                                                            \
    X(frmToolWin, lblDir4, true, false, 0)                                                            \
    /* Layer dialog: the form, the table's group box, the hidden labels that give the header texts. */ \
    X(frmLayer, frmLayer, true, false, 0)                                                             \
    X(frmLayer, grpLayer, true, false, 0)                                                             \
    X(frmLayer, lblLayerNum, true, false, 0)                                                          \
    X(frmLayer, lblLayerCurr, true, false, 0)                                                         \
    X(frmLayer, lblLayerName, true, false, 0)                                                         \
    X(frmLayer, lblLayerVis, true, false, 0)                                                          \
    X(frmLayer, lblLayerCol, true, false, 0)                                                          \
    X(frmLayer, lblLayerPenW, true, false, 0)                                                         \
    X(frmLayer, btnOk, true, false, 0)                                                                \
    X(frmLayer, btnCancel, true, false, 0)                                                            \
    X(frmLayer, btnSaveSettings, true, true, 0)                                                       \
    /* Layer-attribute dialog; its caption and group title are the layer dialog's. */                 \
    X(frmLayerAttr, btnOk, true, false, 0)                                                            \
    X(frmLayerAttr, btnCancel, true, false, 0)                                                        \
    /* Grid dialog. */                                                                                \
    X(frmGrid, frmGrid, true, false, 0)                                                               \
    X(frmGrid, grpGrid, true, false, 0)                                                               \
    X(frmGrid, lblGridX, true, false, 0)                                                              \
    X(frmGrid, lblGridY, true, false, 0)                                                              \
    X(frmGrid, lblGridSize, true, false, 0)                                                           \
    X(frmGrid, lblGridStep, true, false, 0)                                                           \
    X(frmGrid, lblGridSub, true, false, 0)                                                            \
    X(frmGrid, lblGridOrigin, true, false, 0)                                                         \
    X(frmGrid, chkUnisceGrid, true, true, 0)                                                          \
    X(frmGrid, chkUnisceSubGrid, true, true, 0)                                                       \
    X(frmGrid, chkShowGrid, true, false, 0)                                                           \
    X(frmGrid, chkSnap2Grid, true, false, 0)                                                          \
    X(frmGrid, grpSnapGrid, true, false, 0)                                                           \
    X(frmGrid, lblSnapX, true, false, 0)                                                              \
    X(frmGrid, lblSnapY, true, false, 0)                                                              \
    X(frmGrid, chkUnisceSnap, true, true, 0)                                                          \
    X(frmGrid, sbtOk, true, false, 0)                                                                 \
    X(frmGrid, sbtCancel, true, false, 0)                                                             \
    X(frmChainSet, frmChainSet, true, false, 0)                                                       \
    X(frmChainSet, sbtDelSelChain, true, false, 0)                                                    \
    X(frmChainSet, lblStartPt, true, false, 0)                                                        \
    X(frmChainSet, sbtOk, true, false, 0)                                                             \
    X(frmChainSet, mnuDelSelChain, true, false, 0)                                                    \
    X(frmCncTab, frmCncTab, true, false, 0)                                                           \
    X(frmCncTab, grpTabSet, true, false, 0)                                                           \
    X(frmCncTab, rbtTabFull, true, false, 0)                                                          \
    X(frmCncTab, rbtTabPartial, true, false, 0)                                                       \
    X(frmCncTab, lblTabWidth, true, false, 0)                                                         \
    X(frmCncTab, lblTabThick, true, false, 0)                                                         \
    X(frmCncTab, grpTabPos, true, false, 0)                                                           \
    X(frmCncTab, sbtTabPos, true, false, 0)                                                           \
    X(frmCncTab, rbtTabManual, true, false, 0)                                                        \
    X(frmCncTab, rbtTabAuto, true, false, 0)                                                          \
    X(frmCncTab, lblTabNum, true, false, 0)                                                           \
    X(frmCncTab, sbtTabCancel, true, false, 0)                                                        \
    X(frmCncTab, sbtTabOk, true, false, 0)                                                            \
    X(frmCncTab, mnuTabDel, true, false, 0)                                                           \
    X(frmCncTab, mnuTabDelAll, true, false, 0)                                                        \
    /* Machine-control window; sbtGRBLClosePort, sbtGRBL_MPos and sbtGrblExp are the other captions */ \
    /* of the port button, the position-mode toggle and the layout switch. */                         \
    X(frmGRBL, frmGRBL, true, false, 0)                                                               \
    X(frmGRBL, grpGRBLPort, true, false, 0)                                                           \
    X(frmGRBL, lblGRBLPort, true, false, 0)                                                           \
    X(frmGRBL, lblGRBLBaud, true, false, 0)                                                           \
    X(frmGRBL, SpTBXButton2, true, false, 0)                                                          \
    X(frmGRBL, sbtGRBLOpenPort, true, false, 0)                                                       \
    X(frmGRBL, sbtGRBLClosePort, true, false, 0)                                                      \
    X(frmGRBL, tabGrblMachine, true, false, 0)                                                        \
    X(frmGRBL, tabGrblFile, true, false, 0)                                                           \
    X(frmGRBL, tabGrblMacros, true, false, 0)                                                         \
    X(frmGRBL, grpGRBLCommand, true, false, 0)                                                        \
    X(frmGRBL, sbtGRBL_cSH, true, false, 0)                                                           \
    X(frmGRBL, sbtGRBL_cSX, true, false, 0)                                                           \
    X(frmGRBL, sbtGRBL_cSGC, true, false, 0)                                                          \
    X(frmGRBL, sbtGRBL_cSG, true, false, 0)                                                           \
    X(frmGRBL, grpGRBLMdi, true, false, 0)                                                            \
    X(frmGRBL, sbtGRBLZeroX, true, false, 0)                                                          \
    X(frmGRBL, sbtGRBLZeroY, true, false, 0)                                                          \
    X(frmGRBL, sbtGRBLZeroZ, true, false, 0)                                                          \
    X(frmGRBL, sbtGRBLZeroAll, true, false, 0)                                                        \
    X(frmGRBL, grpGRBLFile, true, false, 0)                                                           \
    X(frmGRBL, sbtGRBLLast, true, false, 0)                                                           \
    X(frmGRBL, sbtGRBLOpen, true, false, 0)                                                           \
    X(frmGRBL, sbtGRBLSend, true, false, 0)                                                           \
    X(frmGRBL, grpGRBLMacros, true, false, 0)                                                         \
    X(frmGRBL, lblGRBLHMacros, true, false, 0)                                                        \
    X(frmGRBL, sbtGRBLReset, true, false, 0)                                                          \
    X(frmGRBL, grpGRBLStatus, true, false, 0)                                                         \
    X(frmGRBL, sbtGRBL_WPos, true, false, 0)                                                          \
    X(frmGRBL, sbtGRBL_MPos, true, false, 0)                                                          \
    X(frmGRBL, chkGRBLShowGPos, true, false, 0)                                                       \
    X(frmGRBL, chkGRBLCheck, true, false, 0)                                                          \
    X(frmGRBL, grpGRBLOutput, true, false, 0)                                                         \
    X(frmGRBL, chkGRBLShowVOutput, true, false, 0)                                                    \
    X(frmGRBL, sbtGrblComp, true, false, 0)                                                           \
    X(frmGRBL, sbtGrblExp, true, false, 0)                                                            \
    X(frmGRBL, sbtGrblExit, true, false, 0)                                                           \
    X(frmGRBL, grpGRBLFileName, true, false, 0)                                                       \
    X(frmToolWin, tabSimulate, true, false, 0)                                                        \
    /* The G-code editor's simulation bar. */                                                          \
    X(frmToolWin, lblCurrentZ, true, false, 0)                                                        \
    X(frmToolWin, lblSimFor, true, false, 0)                                                          \
    X(frmToolWin, sbtToStart, false, true, 0)                                                         \
    X(frmToolWin, sbtPlay, false, true, 0)                                                            \
    X(frmToolWin, sbtStep, false, true, 0)                                                            \
    X(frmToolWin, sbtIsoLimits, false, true, 0)                                                       \
    X(frmToolWin, TrackBar1, false, true, 0)                                                          \
    X(frmToolWin, grpIsoLimits, true, false, 0)                                                       \
    X(frmToolWin, lblIsoa, true, false, 0)                                                            \
    X(frmToolWin, lblIsob, true, false, 0)                                                            \
    X(frmToolWin, lblIsoc, true, false, 0)                                                            \
    X(frmToolWin, lblIsod, true, false, 0)                                                            \
    X(frmToolWin, lblIsoe, true, false, 0)                                                            \
    X(frmToolWin, lblIsof, true, false, 0)                                                            \
    /* The open-geometry panel and the vectorise page. */                                             \
    X(frmToolWin, grpDxfRotate, true, false, 0)                                                       \
    X(frmToolWin, lblDxfRotate, true, false, 0)                                                       \
    X(frmToolWin, grpAttribb, true, false, 0)                                                         \
    X(frmToolWin, lblAttriba, true, false, 0)                                                         \
    X(frmToolWin, lblAttribb, true, false, 0)                                                         \
    X(frmToolWin, lblAttribc, true, false, 0)                                                         \
    X(frmToolWin, chkRatio, true, false, 0)                                                           \
    X(frmToolWin, grpOrigin, true, false, 0)                                                          \
    X(frmToolWin, rbtOriginDxf, true, false, 0)                                                       \
    X(frmToolWin, lblZTop, true, false, 0)                                                            \
    X(frmToolWin, lblZBottom, true, false, 0)                                                         \
    X(frmToolWin, sbtSetOrigin, true, false, 0)                                                       \
    X(frmToolWin, lblOriginX, true, false, 0)                                                         \
    X(frmToolWin, lblOriginY, true, false, 0)                                                         \
    X(frmToolWin, lblOriginZ, true, false, 0)                                                         \
    X(frmToolWin, chkDxfAci, true, false, 0)                                                          \
    X(frmToolWin, sbtOpenApply, true, false, 0)                                                       \
    X(frmToolWin, sbtOpenDone, true, false, 0)                                                        \
    X(frmToolWin, grpVec1, true, false, 0)                                                            \
    X(frmToolWin, grpVec2, true, false, 0)                                                            \
    X(frmToolWin, grpVec3, true, false, 0)                                                            \
    X(frmToolWin, grpVec4, true, false, 0)                                                            \
    X(frmToolWin, chkViewOriginal, true, false, 0)                                                    \
    X(frmToolWin, lblVecRed, true, false, 0)                                                          \
    X(frmToolWin, lblVecGreen, true, false, 0)                                                        \
    X(frmToolWin, lblVecBlue, true, false, 0)                                                         \
    X(frmToolWin, lblSpotsNeri, true, false, 0)                                                       \
    X(frmToolWin, lblSpotsBianchi, true, false, 0)                                                    \
    X(frmToolWin, sbtVec2a, true, false, 0)                                                           \
    X(frmToolWin, sbtVec2b, true, false, 0)                                                           \
    X(frmToolWin, lblErrorThreshold, true, false, 0)                                                  \
    X(frmToolWin, lblFilterIterations, true, false, 0)                                                \
    X(frmToolWin, lblCornerThreshold, true, false, 0)                                                 \
    X(frmToolWin, chkCenterline, true, false, 0)                                                      \
    X(frmToolWin, lblVecRemove, true, false, 0)                                                       \
    X(frmToolWin, chkVecFilter, true, false, 0)                                                       \
    X(frmToolWin, lblVecFilterTol, true, false, 0)                                                    \
    X(frmToolWin, lblVecFilterMin, true, false, 0)                                                    \
    X(frmToolWin, lblVecFilterMax, true, false, 0)                                                    \
    X(frmToolWin, sbtPreviewVect, true, false, 0)                                                     \
    X(frmToolWin, sbtVecOnLayer, true, false, 0)                                                      \
    X(frmToolWin, sbtVectDone, true, false, 0)                                                        \
    X(frmToolWin, sbtVectCancel, true, false, 0)                                                      \
    X(frmToolWin, txtOpComm, true, false, 0)                                                          \
    X(frmToolWin, grpCncXform, true, false, 0)                                                        \
    X(frmToolWin, lblCncXformXStep, true, false, 0)                                                   \
    X(frmToolWin, lblCncXformXDelta, true, false, 0)                                                  \
    X(frmToolWin, lblCncXformYStep, true, false, 0)                                                   \
    X(frmToolWin, lblCncXformYDelta, true, false, 0)                                                  \
    /* Tool window: the tabs of the chain, drilling-point and mill tool pages. */                    \
    X(frmToolWin, tabChain, true, false, 0)                                                           \
    X(frmToolWin, tabChainPt, true, false, 0)                                                         \
    X(frmToolWin, tabTool, true, false, 0)                                                            \
    /* Tool window: the tabs of the lathe pages. */                                                  \
    X(frmToolWin, tabLatheTool, true, false, 0)                                                       \
    X(frmToolWin, tabLatheFin, true, false, 0)                                                        \
    X(frmToolWin, tabLatheRou, true, false, 0)                                                         \
    /* The letters page's tab and the label command's item under the text button. */                 \
    X(frmToolWin, tabLetters, true, false, 0)                                                         \
    X(frmMain, mnuTextLabel, true, false, 0)                                                          \
    /* Tool window: the tabs of the 3D parallel pages. */                                             \
    X(frmToolWin, tabSizeLimits, true, false, 0)                                                      \
    X(frmToolWin, tabParallel, true, false, 0)                                                        \
    /* Tool window: the tabs of the laser settings and laser operation pages. */                      \
    X(frmToolWin, tabLaserLib, true, false, 0)                                                        \
    X(frmToolWin, tabLaserEng, true, false, 0)                                                        \
    X(frmToolWin, tabLaserCut, true, false, 0)                                                        \
    X(frmToolWin, tabLaserPocket, true, false, 0)

#define KB_LANG_DECLARE_TEXT(section, ident, key)                                                     \
    namespace LangKeys::section {                                                                     \
    inline constexpr std::string_view ident = key;                                                    \
    }
#define KB_LANG_DECLARE_COMPONENT(section, name, caption, hint, items)                                \
    namespace LangKeys::section {                                                                     \
    inline constexpr std::string_view name = #name;                                                   \
    }
KB_LANG_TEXTS(KB_LANG_DECLARE_TEXT)
KB_LANG_COMPONENTS(KB_LANG_DECLARE_COMPONENT)
#undef KB_LANG_DECLARE_TEXT
#undef KB_LANG_DECLARE_COMPONENT

// One key of the language file as it stands there.
struct TLangKey {
    std::string_view Section;
    std::string Key;
};

// Every key of both lists, components expanded to their caption, hint and
// item keys; built once.
std::span<const TLangKey> LangCatalogue();
