# Builds the release target and checks that build/release holds exactly what a user copies: the
# folder Quorvane/ with six files and the translations under languages/, stripped binaries, and
# the zip of that folder.
#   cmake -DBUILD_DIR=<build> -DVERSION=<project version> -P release_test.cmake
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target release
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the release target failed:\n${out}")
endif()

set(release "${BUILD_DIR}/release")
get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
# English as languages/en, every lang/<code>/Quorvane.language as languages/<code>.
file(GLOB translations RELATIVE "${source_dir}/lang" "${source_dir}/lang/*/Quorvane.language")
set(language_pairs "languages/en/Quorvane.language=lang/Quorvane.language")
foreach(translation ${translations})
  list(APPEND language_pairs "languages/${translation}=lang/${translation}")
endforeach()
list(LENGTH translations translation_count)
if(translation_count LESS 1)
  message(FATAL_ERROR "no translations under ${source_dir}/lang/*/")
endif()
set(expected ChronivexLog.dll Quorvane.chm Quorvane.com Quorvane.exe Quorvane.language README.txt
    config.xml)
foreach(pair ${language_pairs})
  string(REGEX MATCH "^([^=]+)=" _ "${pair}")
  list(APPEND expected "${CMAKE_MATCH_1}")
endforeach()
list(SORT expected)
file(GLOB_RECURSE found RELATIVE "${release}/Quorvane" "${release}/Quorvane/*")
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
foreach(pair "Quorvane.exe=app/Quorvane.exe" "Quorvane.com=app/Quorvane.com"
        "ChronivexLog.dll=journal/ChronivexLog.dll")
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

# Quorvane.exe is a window program and Quorvane.com a console program (the PE header's subsystem:
# 2 for windows, 3 for the console).
foreach(pair "Quorvane.exe=02" "Quorvane.com=03")
  string(REGEX MATCH "^([^=]+)=(.+)$" _ "${pair}")
  set(image "${release}/Quorvane/${CMAKE_MATCH_1}")
  set(subsystem_wanted "${CMAKE_MATCH_2}")
  file(READ "${image}" lfanew OFFSET 60 LIMIT 4 HEX)
  string(SUBSTRING "${lfanew}" 2 2 high)
  string(SUBSTRING "${lfanew}" 0 2 low)
  math(EXPR subsystem_offset "0x${high}${low} + 92")
  file(READ "${image}" subsystem OFFSET ${subsystem_offset} LIMIT 1 HEX)
  if(NOT subsystem STREQUAL subsystem_wanted)
    message(FATAL_ERROR "${image} has subsystem ${subsystem}, expected ${subsystem_wanted}")
  endif()
endforeach()

# The text files are the sources' (config.xml is the empty store, never the build's working copy).
foreach(pair "Quorvane.language=lang/Quorvane.language" "config.xml=res/config.xml"
        ${language_pairs})
  string(REGEX MATCH "^([^=]+)=(.+)$" _ "${pair}")
  file(READ "${release}/Quorvane/${CMAKE_MATCH_1}" shipped_text)
  file(READ "${source_dir}/${CMAKE_MATCH_2}" source_text)
  if(NOT shipped_text STREQUAL source_text)
    message(FATAL_ERROR "release/Quorvane/${CMAKE_MATCH_1} differs from ${CMAKE_MATCH_2}")
  endif()
endforeach()

# The build puts the same translations beside its own exe, for the Language menu of a build run.
foreach(pair ${language_pairs})
  string(REGEX MATCH "^([^=]+)=(.+)$" _ "${pair}")
  file(READ "${BUILD_DIR}/app/${CMAKE_MATCH_1}" built_text)
  file(READ "${source_dir}/${CMAKE_MATCH_2}" source_text)
  if(NOT built_text STREQUAL source_text)
    message(FATAL_ERROR "app/${CMAKE_MATCH_1} differs from ${CMAKE_MATCH_2}")
  endif()
endforeach()

# Each translation names itself, so the Language menu can list it; no two share a name.
set(names "")
foreach(pair ${language_pairs})
  string(REGEX MATCH "^([^=]+)=" _ "${pair}")
  file(STRINGS "${release}/Quorvane/${CMAKE_MATCH_1}" name_line REGEX "^_LanguageName=.+")
  if(NOT name_line)
    message(FATAL_ERROR "${CMAKE_MATCH_1} has no _LanguageName")
  endif()
  list(FIND names "${name_line}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${CMAKE_MATCH_1}: ${name_line} is taken")
  endif()
  list(APPEND names "${name_line}")
endforeach()

file(READ "${release}/Quorvane/README.txt" readme)
foreach(needle "Quorvane ${VERSION}" "regsvr32 ChronivexLog.dll" "regsvr32 /n /i:user ChronivexLog.dll"
        "Quorvane.com")
  string(FIND "${readme}" "${needle}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "README.txt lacks \"${needle}\"")
  endif()
endforeach()
# Windows line ends, for Notepad (file(READ) as text would hide the CRs).
file(READ "${release}/Quorvane/README.txt" readme_hex HEX)
string(REGEX MATCHALL "[0-9a-f][0-9a-f]" readme_bytes "${readme_hex}")
list(JOIN readme_bytes " " readme_bytes)
string(REPLACE "0d 0a" "CRLF" readme_bytes "${readme_bytes}")
if(readme_bytes MATCHES "0a" OR NOT readme_bytes MATCHES "CRLF")
  message(FATAL_ERROR "README.txt does not have Windows line ends")
endif()

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
