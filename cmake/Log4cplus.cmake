# log4cplus, cross-built by tools/build-log4cplus.sh as a static Unicode library.
find_package(log4cplus CONFIG REQUIRED
  PATHS ${PLUMORA_LOG4CPLUS_DIR} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
