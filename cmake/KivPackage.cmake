# Install rules, the exported CMake package (find_package(Kiv CONFIG) gives
# Kiv::skinlib and Kiv::KivAPI) and the CPack ZIP of one architecture.
#
# Layout of an installed tree and of the ZIP:
#   bin/                 KivAPI.dll, kivtool.exe, the preview hosts, default.kiv, dark.kiv
#   include/KivAPI.h     the flat C interface
#   include/kiv/         the headers a C++ host of the static skin library calls
#   include/kiv/internal/ the other headers of the static skin library (they
#                        change from release to release; the public ones
#                        include them)
#   lib/                 libKivAPI.dll.a (mingw), KivAPI.lib (MSVC), libskinlib.a, cmake/Kiv/
#   skins/               the shipped skins as plain projects
#   samples/, bindings/  the sample hosts and the .NET binding
#   docs/                hosting.md, designing.md, keys.md and the pictures they show
#   LICENSE.txt, README.txt
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KIV_VERSION 1.0.0)
set(KIV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kiv)

# The library targets carry source-tree include folders; an installed
# consumer finds the same headers in include/kiv and include/kiv/internal
# (KivAPI.h in include).
function(kiv_split_includes target)
  get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
  set(split)
  foreach(dir ${dirs})
    list(APPEND split $<BUILD_INTERFACE:${dir}>)
  endforeach()
  foreach(dir ${ARGN})
    list(APPEND split $<INSTALL_INTERFACE:${dir}>)
  endforeach()
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${split}")
endfunction()
kiv_split_includes(skinlib ${CMAKE_INSTALL_INCLUDEDIR}/kiv ${CMAKE_INSTALL_INCLUDEDIR}/kiv/internal)
kiv_split_includes(KivAPI ${CMAKE_INSTALL_INCLUDEDIR})

# The same names inside this build, so samples/ builds here and from a package alike.
add_library(Kiv::skinlib ALIAS skinlib)
add_library(Kiv::KivAPI ALIAS KivAPI)

install(TARGETS skinlib KivAPI EXPORT KivTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/KivAPI/KivAPI.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# Start-up, skin load, filters and the registry: what samples/cpp calls.
set(KIV_SKINLIB_PUBLIC_HEADERS
  ${CMAKE_SOURCE_DIR}/skinlib/engine/CKivEngine.h
  ${CMAKE_SOURCE_DIR}/skinlib/engine/CKivInitialize.h
  ${CMAKE_SOURCE_DIR}/skinlib/engine/CKivWndBox.h
  ${CMAKE_SOURCE_DIR}/skinlib/skindata/CKivSkinStore.h
  ${CMAKE_SOURCE_DIR}/skinlib/skindata/KivSkinSettings.h)
file(GLOB KIV_SKINLIB_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skinlib/*/*.h)
list(REMOVE_ITEM KIV_SKINLIB_HEADERS ${KIV_SKINLIB_PUBLIC_HEADERS})
install(FILES ${KIV_SKINLIB_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kiv)
install(FILES ${KIV_SKINLIB_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kiv/internal)
install(EXPORT KivTargets NAMESPACE Kiv:: DESTINATION ${KIV_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/KivConfig.cmake.in
  ${CMAKE_BINARY_DIR}/KivConfig.cmake INSTALL_DESTINATION ${KIV_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_BINDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/KivConfigVersion.cmake
  VERSION ${KIV_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/KivConfig.cmake ${CMAKE_BINARY_DIR}/KivConfigVersion.cmake
  DESTINATION ${KIV_CMAKE_DIR})

# An import library in the format MSVC's linker reads, made from the .def
# (32-bit: stdcall-decorated symbols that bind to the undecorated exports).
# LLVM's dlltool writes the short import members MSVC's own lib.exe writes;
# those count as safe for /SAFESEH, which Visual Studio's x86 Release builds
# link with. GNU dlltool's members carry no SEH marker, and such a link
# refuses them, so it is only the fallback.
if(MINGW)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(dlltool_machine i386)
    set(KIVAPI_DEF_FILE ${CMAKE_SOURCE_DIR}/KivAPI/KivAPI-i686-mingw.def)
  else()
    set(dlltool_machine i386:x86-64)
    set(KIVAPI_DEF_FILE ${CMAKE_SOURCE_DIR}/KivAPI/KivAPI.def)
  endif()
  find_program(KIV_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
  if(KIV_LLVM_DLLTOOL)
    set(implib_tool ${KIV_LLVM_DLLTOOL})
  else()
    message(WARNING "llvm-dlltool not found (Debian package llvm): lib/KivAPI.lib is made by GNU dlltool, "
                    "and a 32-bit MSVC link with /SAFESEH refuses it")
    set(implib_tool ${KIV_MINGW_PREFIX}-dlltool)
  endif()
  set(KIV_MSVC_IMPLIB ${CMAKE_BINARY_DIR}/lib/KivAPI.lib)
  add_custom_command(OUTPUT ${KIV_MSVC_IMPLIB}
    COMMAND ${CMAKE_COMMAND} -E remove -f KivAPI.lib
    COMMAND ${implib_tool} -m ${dlltool_machine} -k -d ${KIVAPI_DEF_FILE} -D KivAPI.dll -l KivAPI.lib
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/lib
    DEPENDS ${KIVAPI_DEF_FILE}
    COMMENT "Making the MSVC import library KivAPI.lib"
    VERBATIM)
  add_custom_target(kiv_msvc_implib ALL DEPENDS ${KIV_MSVC_IMPLIB})
  install(FILES ${KIV_MSVC_IMPLIB} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# Tools, preview hosts and the shipped skins, compiled and as projects.
foreach(program kivtool KivPreview KivPreviewMDI)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET kiv_skins)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/default.kiv ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/dark.kiv
    DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/skins/ DESTINATION skins
  FILES_MATCHING PATTERN "*.kivxml" PATTERN "*.bmp")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/ DESTINATION samples)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/bindings/ DESTINATION bindings)
install(FILES ${CMAKE_SOURCE_DIR}/docs/hosting.md ${CMAKE_SOURCE_DIR}/docs/designing.md
  ${CMAKE_SOURCE_DIR}/docs/keys.md DESTINATION docs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/keys DESTINATION docs FILES_MATCHING PATTERN "*.png")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots/builder DESTINATION docs/screenshots)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE RENAME LICENSE.txt DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/package-README.txt RENAME README.txt DESTINATION .)

# One ZIP per architecture: Kiv-1.0.0-win32.zip, Kiv-1.0.0-win64.zip.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KIV_PACKAGE_ARCH win32)
else()
  set(KIV_PACKAGE_ARCH win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kiv)
set(CPACK_PACKAGE_VERSION ${KIV_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kiv-${KIV_VERSION}-${KIV_PACKAGE_ARCH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
include(CPack)
