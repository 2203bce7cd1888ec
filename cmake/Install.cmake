# What `cmake --install` puts in place for other programs: the public
# headers, the runtime with a CMake package (find_package(Skein10), target
# Skein10::runtime) and a pkg-config file, the two component libraries that
# hosts load by name with the store that registers them
# (cmake/InstalledStore.cmake), the `skein10` host with its manual page and
# bash completion (installed by host/) and the Python module (python/). Every
# rule names its install component, one per Debian package
# (cmake/Packaging.cmake): `runtime` (the shared libraries and the installed
# store), `development` (headers, CMake package, pkg-config file, the
# runtime's link name), `host`, `python`.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(skein10_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Skein10)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/skein10 DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT development)

set_target_properties(skein10rt PROPERTIES EXPORT_NAME runtime)
install(TARGETS skein10rt EXPORT Skein10Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT Skein10Targets NAMESPACE Skein10:: DESTINATION ${skein10_package_dir}
  COMPONENT development)

# The components are loaded by path from the registration store, not linked:
# plug-ins in a folder of their own beside the installed store.
set(skein10_component_dir ${CMAKE_INSTALL_LIBDIR}/${SKEIN10_COMPONENT_SUBDIR})
foreach(component skein10 kvmarrow10)
  skein10_install_rpath(${component} ${skein10_component_dir})
  install(TARGETS ${component} LIBRARY DESTINATION ${skein10_component_dir} COMPONENT runtime)
endforeach()

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/Skein10Config.cmake.in
  ${PROJECT_BINARY_DIR}/Skein10Config.cmake INSTALL_DESTINATION ${skein10_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/Skein10ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/Skein10Config.cmake ${PROJECT_BINARY_DIR}/Skein10ConfigVersion.cmake
  DESTINATION ${skein10_package_dir} COMPONENT development)

# The .pc file finds the prefix from its own place, so the tree can be
# installed under any prefix (cmake --install --prefix); installed where the
# system's own libraries are (/usr, the Debian packages), it names that
# prefix, and pkg-config leaves the system's folders out of its flags.
skein10_libdir_is_system(skein10_system_libdir)
if(skein10_system_libdir)
  set(SKEIN10_PC_PREFIX ${CMAKE_INSTALL_PREFIX})
else()
  file(RELATIVE_PATH prefix_from_pcfiledir
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
  string(REGEX REPLACE "/$" "" prefix_from_pcfiledir "${prefix_from_pcfiledir}")
  set(SKEIN10_PC_PREFIX "\${pcfiledir}/${prefix_from_pcfiledir}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/skein10.pc.in ${PROJECT_BINARY_DIR}/skein10.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/skein10.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)
