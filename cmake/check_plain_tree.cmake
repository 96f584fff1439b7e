# Fails when a file of the plain tree (plain/, tool/) includes a header of
# Qt, OpenGL or the window tree. (The patterns are bracketed so that this
# file itself does not show up when the tree is searched for them.)
# Run by plain/CMakeLists.txt at configure time and by the layout_check test:
#   cmake -DROOT=<source dir> -P cmake/check_plain_tree.cmake
if(NOT ROOT)
  message(FATAL_ERROR "check_plain_tree.cmake: set ROOT to the source directory")
endif()
file(GLOB_RECURSE sources
  ${ROOT}/plain/*.h ${ROOT}/plain/*.cpp ${ROOT}/tool/*.h ${ROOT}/tool/*.cpp)
set(forbidden
  "#[ \t]*include[ \t]*<Q"
  "#[ \t]*include[ \t]*<G[L]/"
  "#[ \t]*include[ \t]*<OpenGL"
  "#[ \t]*include[ \t]*\"(app|view|panels|toolkit)/"
  "QOpen[G]L"
  "Qt[W]idgets")
set(found "")
foreach(source ${sources})
  file(STRINGS ${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    foreach(pattern ${forbidden})
      if(line MATCHES "${pattern}")
        file(RELATIVE_PATH name ${ROOT} ${source})
        string(APPEND found "\n  ${name}:${number}: ${line}")
        break()
      endif()
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "The plain tree must build without Qt Widgets and OpenGL; these lines reach for them:${found}")
endif()
