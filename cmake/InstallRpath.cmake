# skein10_install_rpath(TARGET DESTINATION)
# The installed TARGET, in DESTINATION (a folder relative to the prefix),
# finds the runtime in LIBDIR through an RPATH relative to its own place
# ($ORIGIN/...), so a tree installed under any prefix (cmake --install
# --prefix P) runs without LD_LIBRARY_PATH. When LIBDIR is one of the
# folders the system searches anyway (a /usr install, as the Debian packages
# are built), the loader finds the runtime there and no RPATH is written:
# Debian allows none that lead to the system's own library folders.
include(GNUInstallDirs)

# skein10_libdir_is_system(VARIABLE): whether LIBDIR is one of the folders
# the compiler and the loader search anyway.
function(skein10_libdir_is_system variable)
  set(system_folders ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES} ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES})
  if(CMAKE_INSTALL_FULL_LIBDIR IN_LIST system_folders)
    set(${variable} TRUE PARENT_SCOPE)
  else()
    set(${variable} FALSE PARENT_SCOPE)
  endif()
endfunction()

function(skein10_install_rpath target destination)
  skein10_libdir_is_system(system_libdir)
  if(system_libdir)
    return()
  endif()
  file(RELATIVE_PATH libdir_from_destination
       ${CMAKE_INSTALL_PREFIX}/${destination} ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
  string(REGEX REPLACE "/$" "" libdir_from_destination "${libdir_from_destination}")
  if(libdir_from_destination STREQUAL "")
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  else()
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${libdir_from_destination}")
  endif()
endfunction()
