# cmake -DIN=FILE -DOUT=FILE.gz -P gzip.cmake
# Compresses one file the way Debian wants manual pages and change logs:
# maximum compression, no name or time stamp in the header.
execute_process(COMMAND gzip -9nc INPUT_FILE "${IN}" OUTPUT_FILE "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "gzip ${IN}: ${result}")
endif()
