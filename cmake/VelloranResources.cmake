# velloran_add_resources(TARGET SOURCES...) compiles layouts and images into TARGET's resources.
function(velloran_add_resources target)
endfunction()
