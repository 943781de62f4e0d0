# Checks the shared libraries a binary loads at its start (ldd): each of
# LINKED must be among them, none of UNLINKED. Run as
#   cmake -DBINARY=... -DLINKED=a;b -DUNLINKED=c;d -P linked_libraries.cmake
execute_process(COMMAND ldd ${BINARY} OUTPUT_VARIABLE loaded RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "ldd ${BINARY} failed")
endif()
foreach(library ${LINKED})
  if(NOT loaded MATCHES "${library}")
    message(FATAL_ERROR "${BINARY} does not load ${library}:\n${loaded}")
  endif()
endforeach()
foreach(library ${UNLINKED})
  if(loaded MATCHES "${library}")
    message(FATAL_ERROR "${BINARY} loads ${library} at its start:\n${loaded}")
  endif()
endforeach()
