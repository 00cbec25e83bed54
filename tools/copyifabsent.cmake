# Copies SOURCE to TARGET unless a file of that name is there already: a set beside
# the programs may have been edited in place, and a build never replaces it.
#   cmake -DSOURCE=built.dyr -DTARGET=bin/name.dyr -P copyifabsent.cmake
if(EXISTS "${TARGET}" OR IS_SYMLINK "${TARGET}")
    file(SHA256 "${SOURCE}" qo_shipped)
    set(qo_present "")
    if(EXISTS "${TARGET}" AND NOT IS_DIRECTORY "${TARGET}")
        file(SHA256 "${TARGET}" qo_present)
    endif()
    if(NOT qo_shipped STREQUAL qo_present)
        message(STATUS "Keeping ${TARGET}, which differs from the shipped set; "
                       "delete it to get the shipped set again.")
    endif()
    return()
endif()
# Whole or not at all, and never over a file that appeared meanwhile.
file(COPY_FILE "${SOURCE}" "${TARGET}.new")
file(RENAME "${TARGET}.new" "${TARGET}" NO_REPLACE RESULT qo_result)
# Where NO_REPLACE is done with a hard link, the temporary name stays beside the set
# as a second name of the same file, on success too; it goes either way.
file(REMOVE "${TARGET}.new")
