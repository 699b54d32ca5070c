# Installs the build into a fresh prefix and builds the sample hosts from it
# with find_package(Kiv CONFIG), as a developer's own project would.
set(prefix ${KIV_WORK_DIR}/prefix)
set(build ${KIV_WORK_DIR}/build)
file(REMOVE_RECURSE ${KIV_WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("${out}${err}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${KIV_BINARY_DIR} --prefix ${prefix})

# What a consumer relies on must be in the tree.
foreach(file bin/KivAPI.dll include/KivAPI.h include/kiv/CKivEngine.h lib/libKivAPI.dll.a
             lib/KivAPI.lib lib/libskinlib.a lib/cmake/Kiv/KivConfig.cmake
             lib/cmake/Kiv/KivConfigVersion.cmake lib/cmake/Kiv/KivTargets.cmake
             bin/kivtool.exe bin/default.kiv bin/dark.kiv skins/default/project.kivxml
             LICENSE.txt README.txt)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "installed tree lacks ${file}")
  endif()
endforeach()
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
