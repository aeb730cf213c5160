# 32-bit clients call a stdcall export as Name@bytes, which the import library
# that the linker writes (plain names, as the .def file lists them) does not
# resolve. In the win32 tree the DLL's import library is therefore made again
# by dlltool from a list of the decorated names, each imported by its plain name.
function(meridan_stdcall_import_library target decorated_def dll_name)
  if(NOT MERIDAN_TREE STREQUAL "win32")
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${MINGW_TRIPLE}-dlltool -k -d ${decorated_def} -D ${dll_name} -l $<TARGET_LINKER_FILE:${target}>
    COMMENT "Import library of ${dll_name} with the decorated names of its stdcall exports")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${decorated_def})
endfunction()
