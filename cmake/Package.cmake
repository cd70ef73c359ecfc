# The release package: `cmake --build <build> --target package` writes
# Morvane-<version>-win64.zip with Morvane.exe and the user's guide at its
# top, nothing else. Run in a UTF-8 locale, CPack's ZIP writer stores the
# guide's Chinese name in UTF-8 with the zip's UTF-8 flag set, which Explorer
# honours; in another locale it fails.
install(TARGETS Morvane RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/help/guide.txt DESTINATION . RENAME "使用说明.txt")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Morvane)
set(CPACK_PACKAGE_VENDOR Morvane)
set(CPACK_PACKAGE_FILE_NAME Morvane-${PROJECT_VERSION}-win64)
set(MV_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
