# Per-generator settings for the Windows packages, read by cpack at packaging time.
if(CPACK_GENERATOR STREQUAL "NSIS")
  # The installer's own file name says what it is.
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
