# Fills in quorvane.wxs.in: the version, the journal class (its CLSID and ProgID from the
# component's header, its description from its registration code) and one component per
# translation under the release folder's languages\.
#   cmake -DTEMPLATE=<wxs.in> -DOUTPUT=<wxs> -DVERSION=<x.y.z> -DJOURNAL_SOURCE=<journal folder>
#         -DRELEASE_DIR=<release folder> -DICON=<ico> -P make_wxs.cmake
# wixl takes no absolute source paths: the files are named relative to the output's folder,
# where wixl runs.
file(READ "${JOURNAL_SOURCE}/journal_interface.h" header)
if(NOT header MATCHES "// ({[0-9A-F-]+}): the journal class")
  message(FATAL_ERROR "no CLSID comment in journal_interface.h")
endif()
set(CLSID "${CMAKE_MATCH_1}")
if(NOT header MATCHES "kChronivexLogProgId\\[\\] = L\"([^\"]+)\"")
  message(FATAL_ERROR "no ProgID in journal_interface.h")
endif()
set(PROGID "${CMAKE_MATCH_1}")
file(READ "${JOURNAL_SOURCE}/registration.cpp" registration)
if(NOT registration MATCHES "kDescription\\[\\] = L\"([^\"]+)\"")
  message(FATAL_ERROR "no description in registration.cpp")
endif()
set(DESCRIPTION "${CMAKE_MATCH_1}")

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(RELATIVE_PATH release_relative "${output_dir}" "${RELEASE_DIR}")
# Component GUIDs must stay the same from release to release: made from the language's code.
set(namespace 6F1D2C3B-4A5E-4F60-8B7C-9D0E1F2A3B4C)
file(GLOB codes RELATIVE "${RELEASE_DIR}/languages" "${RELEASE_DIR}/languages/*")
set(LANGUAGE_DIRECTORIES "")
set(LANGUAGE_COMPONENT_REFS "")
foreach(code ${codes})
  string(UUID guid NAMESPACE ${namespace} NAME "language-${code}" TYPE SHA1 UPPER)
  string(MAKE_C_IDENTIFIER "${code}" id)
  string(APPEND LANGUAGE_DIRECTORIES
    "            <Directory Id=\"Language_${id}\" Name=\"${code}\">\n"
    "              <Component Id=\"Language_${id}\" Guid=\"${guid}\" Win64=\"yes\">\n"
    "                <File Id=\"Language_${id}\" Name=\"Quorvane.language\" KeyPath=\"yes\"\n"
    "                      Source=\"${release_relative}/languages/${code}/Quorvane.language\"/>\n"
    "              </Component>\n"
    "            </Directory>\n")
  string(APPEND LANGUAGE_COMPONENT_REFS "      <ComponentRef Id=\"Language_${id}\"/>\n")
endforeach()
file(COPY "${ICON}" DESTINATION "${output_dir}")
get_filename_component(ICON "${ICON}" NAME)
set(RELEASE_DIR "${release_relative}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
