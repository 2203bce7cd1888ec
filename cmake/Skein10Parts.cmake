# Folders that hold a layer are added only once they carry a CMakeLists.txt,
# so the tree builds while a layer is still being written.
function(skein10_optional_subdirectory dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()
