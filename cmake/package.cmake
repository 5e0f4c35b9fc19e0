# The release archive: both exes, the sample filter for both, the README and the licence.
# The 32-bit build packages; FILTERPROPS_X64_BUILD names the 64-bit build folder whose exe
# and sample DLL go in beside.
install(TARGETS filterprops RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
install(FILES $<TARGET_FILE:samplefilter> DESTINATION sample/x86)
set(FILTERPROPS_X64_BUILD "" CACHE PATH "64-bit build folder to package beside this one")
if(FILTERPROPS_X64_BUILD)
  install(FILES ${FILTERPROPS_X64_BUILD}/filterprops64.exe DESTINATION .)
  install(FILES ${FILTERPROPS_X64_BUILD}/sample/samplefilter.dll DESTINATION sample/x64)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME filterprops)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME filterprops-${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
