# Common compile settings for every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic)
if(THALVANE_WERROR)
    add_compile_options(-Werror)
endif()
if(THALVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
