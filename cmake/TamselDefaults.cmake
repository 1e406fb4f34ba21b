# Copies the program folder's default files (templates, sample list, sample menu and its
# icon folder) next to the executables. A file is copied again only when its source
# changes, so a sample menu rewritten by a run keeps its result until then.
set(_tamsel_defaults_source ${CMAKE_CURRENT_LIST_DIR}/../resources/defaults)
set(_tamsel_default_files
    item_template_query.txt
    item_template_image.txt
    item_template_noimage.txt
    url.txt
    FEATURES/Links.xml
    IMAGES/network.png
)
set(_tamsel_default_outputs)
foreach(_file IN LISTS _tamsel_default_files)
    set(_source ${_tamsel_defaults_source}/${_file})
    set(_target ${TAMSEL_PROGRAM_DIR}/${_file})
    add_custom_command(OUTPUT ${_target}
        COMMAND ${CMAKE_COMMAND} -E copy ${_source} ${_target}
        DEPENDS ${_source}
        COMMENT "Copying default file ${_file}"
        VERBATIM)
    list(APPEND _tamsel_default_outputs ${_target})
endforeach()
add_custom_target(tamsel_defaults ALL DEPENDS ${_tamsel_default_outputs})
