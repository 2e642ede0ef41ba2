# The web build (Emscripten): every object with threads (-pthread), narrow
# literals in GBK through scripts/web/gbk_compile.py (clang has no
# -fexec-charset), and glint_web_page(target), which links a program as a
# web page: the program's main on a worker (PROXY_TO_PTHREAD), the browser's
# main thread left to display and input, the two fonts in the page's file
# system and the page's own HTML shell. scripts/web.sh configures a build
# with it; the libraries come from scripts/web_deps.sh (GLINT_WEB_DEPS).
include_guard(GLOBAL)

set(GLINT_WEB_DEPS "${PROJECT_BINARY_DIR}/../web-deps/prefix" CACHE PATH
    "Prefix of the libraries built by scripts/web_deps.sh")
set(GLINT_WEB_FONTS "/usr/share/fonts" CACHE PATH "Where the fonts of the page are taken from")

add_compile_options(-pthread)
add_link_options(-pthread)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CMAKE_CXX_COMPILER_LAUNCHER ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/web/gbk_compile.py)
set(CMAKE_C_COMPILER_LAUNCHER ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/web/gbk_compile.py)

# The libraries of the platform layer, from the prefix.
add_library(glint_web_deps INTERFACE)
target_include_directories(glint_web_deps SYSTEM INTERFACE
  $<BUILD_INTERFACE:${GLINT_WEB_DEPS}/include/SDL2> $<BUILD_INTERFACE:${GLINT_WEB_DEPS}/include/freetype2>
  $<BUILD_INTERFACE:${GLINT_WEB_DEPS}/include>)
set(GLINT_WEB_DEP_LIBS "")
foreach(lib SDL2_mixer SDL2 freetype png jpeg gif z)
  if(NOT EXISTS ${GLINT_WEB_DEPS}/lib/lib${lib}.a)
    message(FATAL_ERROR "${GLINT_WEB_DEPS}/lib/lib${lib}.a is missing: run scripts/web_deps.sh")
  endif()
  list(APPEND GLINT_WEB_DEP_LIBS ${GLINT_WEB_DEPS}/lib/lib${lib}.a)
  target_link_libraries(glint_web_deps INTERFACE $<BUILD_INTERFACE:${GLINT_WEB_DEPS}/lib/lib${lib}.a>)
endforeach()

set(GLINT_WEB_SHELL ${PROJECT_SOURCE_DIR}/platform/web/shell.html CACHE FILEPATH "HTML shell of the pages")
set(GLINT_WEB_PAGE_FLAGS
  -sPROXY_TO_PTHREAD=1
  # The program's threads: the window thread, the SDL driver's thread, the
  # text warm-up, timers and sound; workers are made ahead, as a worker made
  # later only starts once the browser's main thread is idle.
  -sPTHREAD_POOL_SIZE=8
  -sINITIAL_MEMORY=268435456
  # Nothing lives in the lowest 64 KiB, as on Windows: a value below 65536
  # passed for a name is an ordinal or a resource number (GetProcAddress,
  # MAKEINTRESOURCE), never a pointer.
  -sGLOBAL_BASE=65536
  -sEXIT_RUNTIME=1
  -sFORCE_FILESYSTEM=1
  -sEXPORTED_RUNTIME_METHODS=FS
  -sENVIRONMENT=web,worker
  # Keeps function names (readable stack traces in the page); also skips
  # the HTML minifier, whose call is broken in Debian's Emscripten 3.1.6.
  -g2
  --shell-file ${GLINT_WEB_SHELL}
  --preload-file ${GLINT_WEB_FONTS}/opentype/unifont/unifont.otf@/usr/share/fonts/opentype/unifont/unifont.otf
  --preload-file ${GLINT_WEB_FONTS}/truetype/wqy/wqy-zenhei.ttc@/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc)

# The flags as link options: CMake drops repeated options, so each
# "--option value" pair is kept together with SHELL:.
function(glint_web_link_options out)
  set(result "")
  set(pending "")
  foreach(f ${ARGN})
    if(pending)
      list(APPEND result "SHELL:${pending} ${f}")
      set(pending "")
    elseif(f STREQUAL "--shell-file" OR f STREQUAL "--preload-file")
      set(pending ${f})
    else()
      list(APPEND result ${f})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# glint_web_page(TARGET [FILES host@page ...]): TARGET becomes
# pages/TARGET.html (+ .js, .wasm, .data, .worker.js); FILES are put into the
# page's file system.
function(glint_web_page target)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  set(flags ${GLINT_WEB_PAGE_FLAGS})
  foreach(f ${ARG_FILES})
    list(APPEND flags --preload-file ${f})
  endforeach()
  set_target_properties(${target} PROPERTIES SUFFIX ".html" LINK_DEPENDS ${GLINT_WEB_SHELL}
                        RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/pages)
  glint_web_link_options(options ${flags})
  target_link_options(${target} PRIVATE ${options})
endfunction()

# The game and every example as pages, and the flags an outside program is
# linked with (scripts/web.sh PROGRAM.cpp reads them from glint_web_link.txt).
function(glint_web_pages)
  if(TARGET lumenvale)
    glint_web_page(lumenvale)
  endif()
  get_property(examples DIRECTORY ${PROJECT_SOURCE_DIR}/examples PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${examples})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE")
      glint_web_page(${t} FILES ${PROJECT_SOURCE_DIR}/examples/assets@/assets)
    endif()
  endforeach()
  string(JOIN "\n" lines -pthread ${GLINT_WEB_PAGE_FLAGS} ${GLINT_WEB_DEP_LIBS})
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/glint_web_link.txt CONTENT "${lines}\n")
endfunction()
install(TARGETS glint_web_deps EXPORT GlintTargets)
