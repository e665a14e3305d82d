# Puts the fresh database and the connection settings into the program
# folder, each only when the folder has none yet; an existing file is the
# library's own and stays as it is.
if(NOT EXISTS ${PROGRAM_DIR}/Data/ombry.dat)
  file(MAKE_DIRECTORY ${PROGRAM_DIR}/Data)
  file(COPY_FILE ${SRC} ${PROGRAM_DIR}/Data/ombry.dat)
endif()
# An empty Path selects Data/ombry.dat beside the executable.
if(NOT EXISTS ${PROGRAM_DIR}/ConSQL.ini)
  file(WRITE ${PROGRAM_DIR}/ConSQL.ini "[Server]\r\nPath=\r\n")
endif()
