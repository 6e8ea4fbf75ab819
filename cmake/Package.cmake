# The release a user downloads: a ZIP of Tesvar.exe and its short Japanese README.txt
# (UTF-8 with a byte-order mark, which Notepad reads as such).
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tesvar)
set(CPACK_PACKAGE_VENDOR Tesvar)
# The version users see: major.minor.revision, as in the title.
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_TWEAK}")
set(CPACK_PACKAGE_FILE_NAME "Tesvar-${CPACK_PACKAGE_VERSION}-win64")
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
