# GoogleTest from Debian's source package, built for whichever tree this is.
set(GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_disable_pthreads ${WIN32} CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(WIN32)
  # Test programs run under Wine: link them whole so no MinGW DLL has to be found.
  set(MERIDAN_TEST_LINK_OPTIONS -static)
endif()

# A test binary is run directly in the host tree and through Wine in the
# Windows trees (64- or 32-bit Wine, by the program's own file); its test is
# named after both (host.num_format_test, win32.num_format_test). A 32-bit
# program on a machine that cannot run one reports the reason and counts as
# skipped (wine-run's exit code 77), never as passed.
function(meridan_add_test target)
  if(WIN32)
    add_test(NAME ${MERIDAN_TREE}.${target} COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-run $<TARGET_FILE:${target}> ${ARGN}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    # Each Wine test has a prefix of its own while it runs (see cmake/wine-prefix).
    set_tests_properties(${MERIDAN_TREE}.${target} PROPERTIES SKIP_RETURN_CODE 77 RESOURCE_GROUPS wineprefix:1)
  else()
    add_test(NAME ${MERIDAN_TREE}.${target} COMMAND ${target} ${ARGN} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()
