# Builds the release target and checks that build/release holds exactly what a user copies: the
# folder Quorvane/ with six files, stripped binaries, and the zip of that folder.
#   cmake -DBUILD_DIR=<build> -DVERSION=<project version> -P release_test.cmake
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target release
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the release target failed:\n${out}")
endif()

set(release "${BUILD_DIR}/release")
set(expected ChronivexLog.dll Quorvane.chm Quorvane.exe Quorvane.language README.txt config.xml)
file(GLOB found RELATIVE "${release}/Quorvane" "${release}/Quorvane/*")
list(SORT found)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "release/Quorvane holds [${found}], expected [${expected}]")
endif()

foreach(file ${expected})
  file(SIZE "${release}/Quorvane/${file}" size)
  if(size EQUAL 0)
    message(FATAL_ERROR "release/Quorvane/${file} is empty")
  endif()
endforeach()

# The binaries are Windows images, smaller than the build's own copies (debug information gone).
foreach(pair "Quorvane.exe=app/Quorvane.exe" "ChronivexLog.dll=journal/ChronivexLog.dll")
  string(REGEX MATCH "^([^=]+)=(.+)$" _ "${pair}")
  set(shipped "${release}/Quorvane/${CMAKE_MATCH_1}")
  set(built "${BUILD_DIR}/${CMAKE_MATCH_2}")
  file(READ "${shipped}" magic LIMIT 2 HEX)
  if(NOT magic STREQUAL "4d5a")  # "MZ"
    message(FATAL_ERROR "${shipped} is not a Windows image")
  endif()
  file(SIZE "${shipped}" shipped_size)
  file(SIZE "${built}" built_size)
  if(NOT shipped_size LESS built_size)
    message(FATAL_ERROR "${shipped} (${shipped_size} bytes) is not stripped (build: ${built_size})")
  endif()
endforeach()

# The text files are the sources' (config.xml is the empty store, never the build's working copy).
get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
foreach(pair "Quorvane.language=lang/Quorvane.language" "config.xml=res/config.xml")
  string(REGEX MATCH "^([^=]+)=(.+)$" _ "${pair}")
  file(READ "${release}/Quorvane/${CMAKE_MATCH_1}" shipped_text)
  file(READ "${source_dir}/${CMAKE_MATCH_2}" source_text)
  if(NOT shipped_text STREQUAL source_text)
    message(FATAL_ERROR "release/Quorvane/${CMAKE_MATCH_1} differs from ${CMAKE_MATCH_2}")
  endif()
endforeach()

file(READ "${release}/Quorvane/README.txt" readme)
foreach(needle "Quorvane ${VERSION}" "regsvr32 ChronivexLog.dll" "regsvr32 /n /i:user ChronivexLog.dll"
        "\r\n")
  string(FIND "${readme}" "${needle}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "README.txt lacks \"${needle}\"")
  endif()
endforeach()

# The zip holds the folder and nothing else.
set(zip "${release}/Quorvane-${VERSION}.zip")
if(NOT EXISTS "${zip}")
  message(FATAL_ERROR "no ${zip}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE listing ERROR_VARIABLE listing)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot list ${zip}:\n${listing}")
endif()
string(REGEX MATCHALL "[^\n]+" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$")
list(SORT entries)
set(expected_entries "")
foreach(file ${expected})
  list(APPEND expected_entries "Quorvane/${file}")
endforeach()
if(NOT entries STREQUAL expected_entries)
  message(FATAL_ERROR "${zip} holds [${entries}], expected [${expected_entries}]")
endif()
message(STATUS "release: ${found}; ${zip}")
