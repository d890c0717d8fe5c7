# Installs the libraries, the public headers and the CMake package files for find_package(LMPack).
include(CMakePackageConfigHelpers)

install(TARGETS ${LMPACK_CORE_PARTS} lmcore EXPORT LMPackTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET lmreportqt)
  install(TARGETS lmreportqt EXPORT LMPackTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
if(TARGET lmwidgets)
  install(TARGETS lmwidgets EXPORT LMPackTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
install(DIRECTORY src/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lmpack
        FILES_MATCHING PATTERN "*.h" PATTERN "detail" EXCLUDE)
install(EXPORT LMPackTargets NAMESPACE LMPack:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/LMPack)

configure_package_config_file(cmake/LMPackConfig.cmake.in
  ${PROJECT_BINARY_DIR}/LMPackConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/LMPack)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/LMPackConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/LMPackConfig.cmake ${PROJECT_BINARY_DIR}/LMPackConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/LMPack)
