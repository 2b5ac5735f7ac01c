# Writes the web build's Asyncify remove-list (see web/CMakeLists.txt): every
# function defined in the given archives, by the name the WebAssembly file
# gives it, then the given patterns; one a line. Run as
#   cmake -DNM=llvm-nm -DOUT=file -DARCHIVES=a;b -DPATTERNS=p;q -P AsyncifyRemoveList.cmake
execute_process(COMMAND ${NM} --demangle --defined-only ${ARCHIVES}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not list ${ARCHIVES}")
endif()
string(REPLACE ";" "\\;" symbols "${symbols}")
string(REPLACE "\n" ";" symbols "${symbols}")
set(names)
foreach(line IN LISTS symbols)
  # "address T name": code, global or file-local.
  if(line MATCHES "^[0-9a-f]* [Tt] (.+)$")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(REMOVE_DUPLICATES names)
list(APPEND names ${PATTERNS})
list(JOIN names "\n" text)
file(WRITE ${OUT}.new "${text}\n")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
