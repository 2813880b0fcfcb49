# Builds the setup program, the MSI and the winget manifests and copies them, with the release
# folder, to PACKAGES: the tests that install or read them then see one consistent set, also
# when the release test makes build/release anew meanwhile.
#   cmake -DBUILD_DIR=<build> -DPACKAGES=<folder> -P packages_build.cmake
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target installer msi winget
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the packages failed:\n${out}")
endif()
file(REMOVE_RECURSE "${PACKAGES}")
file(COPY "${BUILD_DIR}/release/" DESTINATION "${PACKAGES}")
file(GLOB made RELATIVE "${PACKAGES}" "${PACKAGES}/*")
message(STATUS "packages: ${made}")
