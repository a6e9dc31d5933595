#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"

namespace veltrix {
namespace {

using CosFunction = double (*)(double);

TEST(DynamicLibrary, LoadsALibraryAndFindsItsSymbols) {
    DynamicLibrary library("libm.so.6");
    ASSERT_TRUE(library.IsLoaded()) << library.Error();
    auto* cosine = reinterpret_cast<CosFunction>(library.Symbol("cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(library.Symbol("no_such_symbol_here"), nullptr);
    EXPECT_NE(library.Error().find("no_such_symbol_here"), std::string::npos) << library.Error();
}

TEST(DynamicLibrary, TellsWhyALibraryDoesNotLoad) {
    DynamicLibrary library("/nonexistent/libnothing.so");
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_NE(library.Error().find("libnothing.so"), std::string::npos) << library.Error();
    EXPECT_EQ(library.Symbol("cos"), nullptr);
}

TEST(DynamicLibrary, MovesOwnershipAndUnloadsOnce) {
    DynamicLibrary first("libm.so.6");
    DynamicLibrary second(std::move(first));
    EXPECT_FALSE(first.IsLoaded());
    EXPECT_NE(second.Symbol("cos"), nullptr);
    DynamicLibrary third;
    third = std::move(second);
    EXPECT_FALSE(second.IsLoaded());
    EXPECT_NE(third.Symbol("cos"), nullptr);
    third.Close();
    EXPECT_FALSE(third.IsLoaded());
    EXPECT_EQ(third.Symbol("cos"), nullptr);
}

}  // namespace
}  // namespace veltrix
