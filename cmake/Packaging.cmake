# Release packages, made by `cpack` in a build folder (scripts/release.sh builds and packs):
#
#   Tillerdock-1.0-win64.zip  the portable copy: tillerdock.exe, Readme.txt and LICENSE in a
#                             folder Tillerdock-1.0, so that any unzip tool makes one folder
#                             and never spills the three files into the folder it unzips in;
#                             and the administrative templates for Group Policy in its folder
#                             policy
#   Tillerdock-1.0-win64.exe  the per-user installer (NSIS, from packaging/NSIS.template.in):
#                             no administrator rights, into %LOCALAPPDATA%\Programs\Tillerdock
#   Tillerdock-1.0-win64.msi  the Windows Installer package, for deployment: for all users,
#                             or for one with MSIINSTALLPERUSER=1 (the `msi_package` target below)
#
# All three hold the same program files. The release build (MinSizeRel) links the program without its
# symbols; stripping it at link time rather than while packing keeps the packages' copies byte
# for byte the same (strip would stamp each copy with the time it ran).

if(MINGW)
    target_link_options(tillerdock PRIVATE $<$<CONFIG:MinSizeRel>:-s>)
endif()

install(TARGETS tillerdock RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/Readme.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
# The administrative templates, for administrators: in the zip only (generator_options.cmake).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/policy/ DESTINATION policy COMPONENT policy)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Tillerdock)
set(CPACK_PACKAGE_VENDOR "The Tillerdock authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Starts programs from the notification area")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tillerdock.example/")
set(CPACK_PACKAGE_FILE_NAME Tillerdock-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tillerdock)

# The zip's folder is named without the platform; packaging/generator_options.cmake sets it.
set(CPACK_TILLERDOCK_ZIP_FOLDER Tillerdock-${PROJECT_VERSION})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/generator_options.cmake)

# The installer is written by our own NSIS.template.in, found on this path, and shows the
# program's icon (generated into the build by res/).
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_TILLERDOCK_ICON ${PROJECT_BINARY_DIR}/res/tillerdock.ico)
set(CPACK_TILLERDOCK_EXE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
# A warning from makensis (an unknown variable, an unused function) fails the release.
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS WX)

include(CPack)

# The Windows Installer package, made by Debian's wixl and msitools (packaging/msi.cmake;
# scripts/release.sh builds the target), with its custom action that closes a running
# Tillerdock first: a DLL of its own, never installed, carried inside the package.
find_program(TILLERDOCK_WIXL wixl)
if(TILLERDOCK_WIXL)
    add_library(close_running MODULE ${PROJECT_SOURCE_DIR}/packaging/close_running.cpp)
    target_compile_definitions(close_running PRIVATE ${TILLERDOCK_WIN32_DEFINES})
    target_link_libraries(close_running PRIVATE msi user32)
    set_target_properties(close_running PROPERTIES PREFIX "")
    if(MINGW)
        target_link_options(close_running PRIVATE -static $<$<CONFIG:MinSizeRel>:-s>)
    endif()

    # wixl takes the files from the folder it runs in: they are staged in msi/.
    set(stage ${PROJECT_BINARY_DIR}/msi)
    set(msi ${PROJECT_BINARY_DIR}/Tillerdock-${PROJECT_VERSION}-win64.msi)
    set(documents ${PROJECT_SOURCE_DIR}/docs/Readme.txt ${PROJECT_SOURCE_DIR}/LICENSE)
    set(sources ${PROJECT_SOURCE_DIR}/packaging/tillerdock.wxs
        ${PROJECT_SOURCE_DIR}/packaging/msi.cmake)
    file(MAKE_DIRECTORY ${stage})
    add_custom_command(OUTPUT ${msi}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tillerdock>
            $<TARGET_FILE:close_running> ${documents} ${CPACK_TILLERDOCK_ICON} ${stage}
        COMMAND ${CMAKE_COMMAND} -D STAGE=${stage} -D VERSION=${PROJECT_VERSION}
            -D OUTPUT=${msi} -P ${PROJECT_SOURCE_DIR}/packaging/msi.cmake
        DEPENDS tillerdock close_running tillerdock_icon ${sources} ${documents}
        COMMENT "Making the Windows Installer package"
        VERBATIM)
    add_custom_target(msi_package DEPENDS ${msi})
endif()
