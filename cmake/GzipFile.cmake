# SPDX-License-Identifier: MIT
# cmake -DGZIP=<gzip> -DSOURCE=<file> -DOUTPUT=<file.gz> -P GzipFile.cmake
# Compresses SOURCE into OUTPUT with the highest compression and without a name or time stamp inside.
execute_process(COMMAND "${GZIP}" -9 -n -c "${SOURCE}" OUTPUT_FILE "${OUTPUT}.tmp" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}.tmp")
  message(FATAL_ERROR "gzip failed on ${SOURCE}: ${status}")
endif()
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
