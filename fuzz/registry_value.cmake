handset_fuzz(registry_value DEPENDS platform_registry SQLite::SQLite3)
