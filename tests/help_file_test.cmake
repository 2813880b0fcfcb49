# Checks the help file the build put beside Quorvane.exe: a compiled help file that holds every
# page of the help sources.
#   cmake -DCHM=<app folder>/Quorvane.chm -DHELP_SOURCES=<source>/docs/help -P help_file_test.cmake
if(NOT EXISTS "${CHM}")
  message(FATAL_ERROR "no help file at ${CHM}")
endif()
file(SIZE "${CHM}" size)
file(READ "${CHM}" signature LIMIT 4 HEX)
if(size EQUAL 0 OR NOT signature STREQUAL "49545346")  # "ITSF"
  message(FATAL_ERROR "${CHM} is not a compiled help file (${size} bytes)")
endif()

get_filename_component(HELP_SOURCES "${HELP_SOURCES}" ABSOLUTE)

# The help file's directory names each page it holds as "/<page>".
file(STRINGS "${CHM}" held REGEX "/[A-Za-z0-9_.-]+")
file(GLOB sources RELATIVE "${HELP_SOURCES}" "${HELP_SOURCES}/*.html" "${HELP_SOURCES}/*.css")
list(LENGTH sources source_count)
if(source_count LESS 20)
  message(FATAL_ERROR "only ${source_count} help sources in ${HELP_SOURCES}")
endif()
set(missing "")
foreach(source ${sources})
  string(FIND "${held}" "/${source}" at)
  if(at EQUAL -1)
    list(APPEND missing "${source}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "${CHM} lacks: ${missing}")
endif()
message(STATUS "${CHM}: ${size} bytes, all ${source_count} help sources inside")
