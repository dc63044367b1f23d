handset_fuzz(xml_document DEPENDS dialer_xml)
