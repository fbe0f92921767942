target_sources(lirabox_cd PRIVATE)
