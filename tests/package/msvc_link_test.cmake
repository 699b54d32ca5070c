# Links a host the way an MSVC tool chain does: clang compiles it for the
# MSVC ABI, lld-link links it against lib/KivAPI.lib alone, with /SAFESEH on
# x86 (Visual Studio's Release default, which refuses import members without
# the SEH marker). The program must import the eight functions by their
# undecorated names from KivAPI.dll and, run beside that DLL, get the
# documented answers.
set(work ${KIV_WORK_DIR})
string(REPLACE "|" ";" KIV_EMULATOR "${KIV_EMULATOR}")
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

foreach(tool KIV_CLANG KIV_LLD_LINK KIV_OBJDUMP)
  if(NOT ${tool} OR NOT EXISTS "${${tool}}")
    message(FATAL_ERROR "${tool} not found: tools/setup.sh installs clang, lld and llvm")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/run_step.cmake)

if(KIV_POINTER_SIZE EQUAL 4)
  set(target i686-pc-windows-msvc)
  set(link_options /machine:x86 /safeseh)
else()
  set(target x86_64-pc-windows-msvc)
  set(link_options /machine:x64)
endif()

run(${KIV_CLANG} --target=${target} -O1 -I${KIV_SOURCE_DIR}/tests/package/nosdk -I${KIV_SOURCE_DIR}/KivAPI
    -c ${KIV_SOURCE_DIR}/tests/package/msvc_host.c -o ${work}/msvc_host.obj)
set(link ${KIV_LLD_LINK} /nologo ${link_options} /entry:KivHostEntry /subsystem:console /nodefaultlib
    ${work}/msvc_host.obj ${KIV_IMPLIB} /out:${work}/msvc_host.exe)
message("${link}")
run(${link})

execute_process(COMMAND ${KIV_OBJDUMP} -p ${work}/msvc_host.exe OUTPUT_VARIABLE headers RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${KIV_OBJDUMP} cannot read msvc_host.exe")
endif()
string(FIND "${headers}" "DLL Name: KivAPI.dll" at)
if(at EQUAL -1)
  message(FATAL_ERROR "msvc_host.exe imports nothing from KivAPI.dll:\n${headers}")
endif()
foreach(name KivInitialize KivLoadSkin KivRun KivStop KivGetClass KivAddFilterForCaption KivAddFilterForID
             KivDotNETApp)
  if(NOT headers MATCHES "\n +[0-9]+ +${name}\n")
    message(FATAL_ERROR "msvc_host.exe does not import ${name} by that name:\n${headers}")
  endif()
endforeach()

# Beside the DLL, as the hosting guide says to ship it.
file(COPY ${KIV_DLL} DESTINATION ${work})
execute_process(COMMAND ${KIV_EMULATOR} ${work}/msvc_host.exe WORKING_DIRECTORY ${work}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "msvc_host.exe exited ${rc} (each set bit is one wrong answer):\n${out}${err}")
endif()
message("msvc_host.exe linked with ${link_options} and got every answer right")
