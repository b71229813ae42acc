# Read by cpack for each generator it runs (CPACK_PROJECT_CONFIG_FILE).

if(CPACK_GENERATOR STREQUAL "ZIP")
    # The files go into one folder named for the version (not the zip's own name, which also
    # names the platform): the archive holds that folder instead of a top folder of its own.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGING_INSTALL_PREFIX "/${CPACK_TILLERDOCK_ZIP_FOLDER}")
endif()

if(NOT CPACK_GENERATOR STREQUAL "ZIP")
    # The installers install the program alone: the administrative templates (component
    # policy) are for the administrator's central store, not for each copy of the program.
    list(TRANSFORM CPACK_INSTALL_CMAKE_PROJECTS REPLACE "^ALL$" "Unspecified")
endif()
