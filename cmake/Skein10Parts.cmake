# Folders that hold a layer are added only once they carry a CMakeLists.txt,
# so the tree builds while a layer is still being written. SKEIN10_SKIP_DIRS
# (folder names, for local builds) leaves named folders out.
set(SKEIN10_SKIP_DIRS "" CACHE STRING "Layer folders to leave out of a local build")
function(skein10_optional_subdirectory dir)
  if(dir IN_LIST SKEIN10_SKIP_DIRS)
    return()
  endif()
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()
