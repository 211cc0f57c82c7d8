# Run before a profile-optimised build compiles anything (GRULO_PGO=USE):
# fails, naming the first such file, when a source of the programs changed
# after the profile in PROFILE_DIR was taken, since GCC would then optimise
# it with counts that no longer fit.
#   cmake -DSOURCE_DIR=... -DPROFILE_DIR=... -P cmake/pgo-check.cmake
file(GLOB_RECURSE sources LIST_DIRECTORIES false
     ${SOURCE_DIR}/src/* ${SOURCE_DIR}/include/* ${SOURCE_DIR}/tools/*)
list(APPEND sources ${SOURCE_DIR}/CMakeLists.txt)
list(FILTER sources EXCLUDE REGEX "(_test\\.cc|_testutil\\.(cc|h))$")
set(stamp ${PROFILE_DIR}/sources.stamp)
foreach(source ${sources})
  # IS_NEWER_THAN also holds for equal times: only a later change counts.
  if(${source} IS_NEWER_THAN ${stamp} AND NOT ${stamp} IS_NEWER_THAN ${source})
    message(FATAL_ERROR
            "the profile in ${PROFILE_DIR} is older than ${source}: take it again "
            "(scripts/pgo-profile.sh BUILD_DIR; scripts/build.sh does so by itself) "
            "or build with GRULO_PGO=OFF")
  endif()
endforeach()
