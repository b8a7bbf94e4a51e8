# Common compile settings for every target of the project, per compiler.
if(MSVC)
    # Sources are UTF-8 and hold Chinese literals, Qt or not.
    add_compile_options(/W4 /permissive- /utf-8)
    if(THALVANE_WERROR)
        add_compile_options(/WX)
    endif()
else()
    add_compile_options(-Wall -Wextra -Wpedantic)
    if(THALVANE_WERROR)
        add_compile_options(-Werror)
    endif()
endif()

if(THALVANE_SANITIZE)
    if(MSVC)
        add_compile_options(/fsanitize=address)
    else()
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                            -fno-sanitize-recover=undefined)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()
