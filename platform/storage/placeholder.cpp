void velloran_storage_placeholder() {}
