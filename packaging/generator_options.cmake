# Read by cpack for each generator it runs (CPACK_PROJECT_CONFIG_FILE).

if(CPACK_GENERATOR STREQUAL "ZIP")
    # The files go into one folder named for the version (not the zip's own name, which also
    # names the platform): the archive holds that folder instead of a top folder of its own.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGING_INSTALL_PREFIX "/${CPACK_TILLERDOCK_ZIP_FOLDER}")
endif()
