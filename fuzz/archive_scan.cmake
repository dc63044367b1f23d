handset_fuzz(archive_scan DEPENDS kel_files)
