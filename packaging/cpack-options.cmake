# Read by cpack for each generator. Without dpkg-shlibdeps, cpack would quietly build a
# package that depends on nothing; stop and say what to install instead.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(VANTREL_SHLIBDEPS dpkg-shlibdeps)
  find_program(VANTREL_FILE file)
  if(NOT VANTREL_SHLIBDEPS OR NOT VANTREL_FILE)
    message(FATAL_ERROR "The Debian package's dependencies are read from the program with "
      "dpkg-shlibdeps and file: install them first (sudo apt install dpkg-dev file).")
  endif()
endif()
