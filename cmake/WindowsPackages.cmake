# Run by the target windows-packages (cmake -P): lays out the Windows program
# in BUILD/stage/renomeia-zq-VERSION (cmake --install), strips its programs
# and DLLs, lists its files for the NSIS script SCRIPT, and makes the
# installer SETUP and the zip ZIP of the same files.
set(name renomeia-zq-${VERSION})
set(stage ${BUILD}/stage/${name})
file(REMOVE_RECURSE ${BUILD}/stage)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE binaries ${stage}/*.exe ${stage}/*.dll)
execute_process(COMMAND ${STRIP} --strip-unneeded ${binaries} COMMAND_ERROR_IS_FATAL ANY)

# What the installer puts in place, folder by folder, and what its
# uninstaller removes: these files and the folders they leave empty, nothing
# else (the user's C:\ZQ and anything added beside the program stay).
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(install "")
set(remove "")
set(folders "")
set(current "-")
foreach(f ${files})
    get_filename_component(dir "${f}" DIRECTORY)
    string(REPLACE "/" "\\" wdir "${dir}")
    string(REPLACE "/" "\\" wf "${f}")
    if(NOT dir STREQUAL current)
        string(APPEND install "SetOutPath \"$INSTDIR\\${wdir}\"\n")
        set(current "${dir}")
        while(dir)
            list(APPEND folders "${dir}")
            get_filename_component(dir "${dir}" DIRECTORY)
        endwhile()
    endif()
    string(APPEND install "File \"${stage}/${f}\"\n")
    string(APPEND remove "Delete \"$INSTDIR\\${wf}\"\n")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders) # the deepest first
foreach(dir ${folders})
    string(REPLACE "/" "\\" wdir "${dir}")
    string(APPEND remove "RMDir \"$INSTDIR\\${wdir}\"\n")
endforeach()
file(WRITE ${BUILD}/stage/install.nsh "${install}")
file(WRITE ${BUILD}/stage/uninstall.nsh "${remove}")

execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${stage} -DLISTS=${BUILD}/stage -DOUTFILE=${SETUP} ${SCRIPT}
                COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${name} WORKING_DIRECTORY ${BUILD}/stage
                COMMAND_ERROR_IS_FATAL ANY)
