# Installs the build into a fresh prefix and builds the sample hosts from it
# with find_package(Kiv CONFIG), as a developer's own project would.
set(prefix ${KIV_WORK_DIR}/prefix)
set(build ${KIV_WORK_DIR}/build)
file(REMOVE_RECURSE ${KIV_WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/run_step.cmake)

run(${CMAKE_COMMAND} --install ${KIV_BINARY_DIR} --prefix ${prefix})

# What a consumer relies on must be in the tree.
foreach(file bin/KivAPI.dll include/KivAPI.h include/kiv/CKivEngine.h lib/libKivAPI.dll.a
             lib/KivAPI.lib lib/libskinlib.a lib/cmake/Kiv/KivConfig.cmake
             lib/cmake/Kiv/KivConfigVersion.cmake lib/cmake/Kiv/KivTargets.cmake
             bin/kivtool.exe bin/default.kiv bin/dark.kiv skins/default/project.kivxml
             docs/hosting.md docs/designing.md docs/keys.md LICENSE.txt README.txt)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "installed tree lacks ${file}")
  endif()
endforeach()
# The headers a host calls stand apart from the library's own.
if(NOT EXISTS ${prefix}/include/kiv/internal/CKivWnd.h OR EXISTS ${prefix}/include/kiv/CKivWnd.h
   OR EXISTS ${prefix}/include/kiv/internal/CKivEngine.h)
  message(FATAL_ERROR "installed headers are not split into include/kiv and include/kiv/internal")
endif()
# Every picture the shipped pages show is shipped beside them.
set(pictures 0)
foreach(page hosting designing keys)
  file(READ ${prefix}/docs/${page}.md text)
  # (Matches without the link's square bracket: CMake lists keep brackets whole.)
  string(REGEX MATCHALL "\\([^()]+\\.png\\)" links "${text}")
  foreach(link ${links})
    string(REGEX REPLACE "^\\((.*)\\)$" "\\1" picture "${link}")
    if(NOT EXISTS ${prefix}/docs/${picture})
      message(FATAL_ERROR "docs/${page}.md shows ${picture}, which the installed tree lacks")
    endif()
    math(EXPR pictures "${pictures} + 1")
  endforeach()
endforeach()
if(pictures LESS 146)
  message(FATAL_ERROR "the installed pages show ${pictures} pictures; keys.md alone shows one a key")
endif()
# No path of the build or source tree may leak into the exported targets.
file(GLOB exported ${prefix}/lib/cmake/Kiv/*.cmake)
foreach(file ${exported})
  file(READ ${file} text)
  foreach(tree ${KIV_SOURCE_DIR} ${KIV_BINARY_DIR})
    string(FIND "${text}" "${tree}/" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${file} names ${tree}")
    endif()
  endforeach()
endforeach()

run(${CMAKE_COMMAND} -S ${prefix}/samples -B ${build} -G ${KIV_GENERATOR}
    -DCMAKE_TOOLCHAIN_FILE=${KIV_TOOLCHAIN} -DCMAKE_MAKE_PROGRAM=${KIV_MAKE_PROGRAM} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${build} -j1)
foreach(program kiv_hello kiv_static_host)
  if(NOT EXISTS ${build}/${program}.exe)
    message(FATAL_ERROR "the consumer build made no ${program}.exe")
  endif()
endforeach()
message("consumer built kiv_hello.exe and kiv_static_host.exe from ${prefix}")

# A cross toolchain that searches packages only below its own root (as many
# mingw toolchains do) re-roots CMAKE_PREFIX_PATH; Kiv_DIR names the package
# folder itself and is taken as it is.
set(restricted ${KIV_WORK_DIR}/restricted-toolchain.cmake)
file(WRITE ${restricted} "include(${KIV_TOOLCHAIN})\nset(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${prefix}/samples -B ${KIV_WORK_DIR}/rerooted -G ${KIV_GENERATOR}
    -DCMAKE_TOOLCHAIN_FILE=${restricted} -DCMAKE_MAKE_PROGRAM=${KIV_MAKE_PROGRAM} -DCMAKE_PREFIX_PATH=${prefix}
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
message("with CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY, CMAKE_PREFIX_PATH alone: configure exit ${rc}")
run(${CMAKE_COMMAND} -S ${prefix}/samples -B ${KIV_WORK_DIR}/restricted -G ${KIV_GENERATOR}
    -DCMAKE_TOOLCHAIN_FILE=${restricted} -DCMAKE_MAKE_PROGRAM=${KIV_MAKE_PROGRAM}
    -DKiv_DIR=${prefix}/lib/cmake/Kiv -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${KIV_WORK_DIR}/restricted -j1 --target kiv_hello)
if(NOT EXISTS ${KIV_WORK_DIR}/restricted/kiv_hello.exe)
  message(FATAL_ERROR "the build through Kiv_DIR made no kiv_hello.exe")
endif()
message("with CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY, Kiv_DIR found the package and built kiv_hello.exe")
