# Copies FROM to TO unless TO already exists. Used for config.xml beside the built exe: the
# program writes its disabled entries there, and a rebuild must not throw them away.
#   cmake -DFROM=... -DTO=... -P copy_if_missing.cmake
if(NOT EXISTS "${TO}")
  file(COPY_FILE "${FROM}" "${TO}")
endif()
