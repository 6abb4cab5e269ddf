// The TEDS document: matching, display, encoding and lookup.

#include "editor/model/tedsdocument.h"

#include <gtest/gtest.h>

TEST(TedsDocument, StartsWithNoGrid)
{
    editor::TedsDocument doc;
    EXPECT_FALSE(doc.TedsShown);
    EXPECT_EQ(doc.ActualNodeID, "Not assigned");
}
