# Makes the Windows Installer package from packaging/tillerdock.wxs, in script mode:
#   cmake -D STAGE=folder -D VERSION=1.0 -D OUTPUT=file.msi -P packaging/msi.cmake
# STAGE holds the files the package takes: tillerdock.exe, Readme.txt, LICENSE,
# tillerdock.ico and close_running.dll. The build runs it (the `msi_package` target of
# cmake/Packaging.cmake), and the installer test runs it again for a version of its own.

foreach(variable STAGE VERSION OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "msi.cmake needs -D ${variable}=...")
    endif()
endforeach()

# Windows Installer tells versions apart by their product code: a new one for every version,
# the same for every build of a version. Derived from the version, in the namespace of the
# package's upgrade code (the same in tillerdock.wxs).
set(upgrade_code 25E07D83-7C20-4123-B8AA-D417BA4024A5)
string(UUID product_code NAMESPACE ${upgrade_code} NAME "Tillerdock ${VERSION}" TYPE SHA1 UPPER)

execute_process(
    COMMAND wixl -a x64 -D Version=${VERSION} -D ProductCode=${product_code}
        -o ${OUTPUT} ${CMAKE_CURRENT_LIST_DIR}/tillerdock.wxs
    WORKING_DIRECTORY ${STAGE}
    COMMAND_ERROR_IS_FATAL ANY)

# What wixl writes otherwise than the package says, corrected with msitools' msibuild:
# - Root="HKMU" as 4, which Windows Installer does not know; -1 is the root that follows the
#   installation context (HKLM for all users, HKCU for one);
# - the row that upgrades older versions with MigrateFeatures (1), which wixl always sets:
#   written again without it (a key column, so not updated in place), so that SIGNIN=
#   decides the sign-in feature on an upgrade;
# - only its own properties as secure: INSTALLDIR and SIGNIN are passed on too when a user
#   who is not an administrator runs the installation elevated.
execute_process(
    COMMAND msibuild ${OUTPUT}
        -q "UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4"
        -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
        -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`)
            VALUES ('{${upgrade_code}}', '${VERSION}', 0, 'WIX_UPGRADE_DETECTED')"
        -q "UPDATE `Property` SET `Value` = 'INSTALLDIR;SIGNIN;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED'
            WHERE `Property` = 'SecureCustomProperties'"
    COMMAND_ERROR_IS_FATAL ANY)
