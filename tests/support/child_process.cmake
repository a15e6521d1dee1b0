# For test programs that start other programs of this build with support/child_process.h: those
# run through the build's emulator (e.g. qemu-user) as the tests themselves do.
function(vantrel_starts_programs target)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(JOIN CMAKE_CROSSCOMPILING_EMULATOR "\",\"" emulator)
    target_compile_definitions(${target} PRIVATE VANTREL_EMULATOR="${emulator}")
  endif()
endfunction()
