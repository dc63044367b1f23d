// The record of what the infrared folder has beamed: one record per item sent, kept in the
// database "Infrared Sent Items" of "pim.vol" so that any process of the handset can read it.
#pragma once

#include <string>
#include <vector>

#include "platform/cedb/CeTypes.h"

namespace platform::poom {

struct SentItem {
    int itemType = 0;
    CEOID oid = 0;            // the item's object id (0 for an item never saved)
    std::u16string summary;   // as ItemSummary gives it
    FILETIME sentAt{};        // UTC
};

// Appends the items to the record. False (with the last error) when one cannot be written;
// the items before it stay recorded.
bool RecordSentItems(CEGUID& volume, const std::vector<SentItem>& items);

// Every item beamed so far, oldest first; an empty list when nothing was ever beamed. False
// when "pim.vol" does not exist or the record cannot be read.
bool ReadSentItems(std::vector<SentItem>& items);

}  // namespace platform::poom
