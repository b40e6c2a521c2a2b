void velloran_kernel_placeholder() {}
