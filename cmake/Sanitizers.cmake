# JOYWRIGHT_SANITIZE instruments every target; a fuzzing build also instruments every library for
# coverage so libFuzzer can see into the core.
if(JOYWRIGHT_BUILD_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(JOYWRIGHT_SANITIZE)
    add_compile_options(-fsanitize=${JOYWRIGHT_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${JOYWRIGHT_SANITIZE})
endif()
