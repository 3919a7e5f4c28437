# GLM_SANITIZE=address,undefined builds the whole tree with ASan and UBSan;
# GLM_SANITIZE=thread with TSan. The Makefile keeps one build tree per set.
if(GLM_SANITIZE)
    set(GLM_SANITIZE_FLAGS -fsanitize=${GLM_SANITIZE} -fno-omit-frame-pointer)
    if(GLM_SANITIZE MATCHES "undefined")
        list(APPEND GLM_SANITIZE_FLAGS -fno-sanitize-recover=undefined)
    endif()
    add_compile_options(${GLM_SANITIZE_FLAGS})
    add_link_options(${GLM_SANITIZE_FLAGS})
endif()
