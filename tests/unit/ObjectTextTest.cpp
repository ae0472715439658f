#include <gtest/gtest.h>

#include "cimv2/core/ObjectText.h"
#include "cimv2/core/WbemError.h"

using namespace cimv2;

namespace {

const ClassSchema& Schema() {
    static const ClassSchema schema("Test_Text", {
                                                     {"Name", CimType::String, kKey},
                                                     {"Size", CimType::UInt64},
                                                     {"Delta", CimType::SInt32},
                                                     {"Ratio", CimType::Real64},
                                                     {"On", CimType::Boolean},
                                                     {"When", CimType::DateTime},
                                                     {"Tags", CimType::String, kArray},
                                                     {"Codes", CimType::UInt16, kArray},
                                                     {"Missing", CimType::String},
                                                 });
    return schema;
}

Instance Sample() {
    Instance i(Schema());
    i.SetText("Name", "say \"hi\"; C:\\dir\nnext");
    i.Set("Size", Value::UInt(5000000000ULL));
    i.SetInt("Delta", -7);
    i.Set("Ratio", Value::Real(0.25));
    i.SetBool("On", false);
    i.SetText("When", "20140626000000.000000+000");
    i.Set("Tags", Value::Array({Value::Text("a b"), Value::Text("c")}));
    i.Set("Codes", Value::Array({Value::UInt(4), Value::UInt(7)}));
    return i;
}

}  // namespace

TEST(ObjectText, WritesMofLinesInSchemaOrderWithoutNulls) {
    EXPECT_EQ(WriteObjectText(Sample()),
              "instance of Test_Text\n{\n"
              "\tName = \"say \\\"hi\\\"; C:\\\\dir\\nnext\";\n"
              "\tSize = \"5000000000\";\n"
              "\tDelta = -7;\n"
              "\tRatio = 0.25;\n"
              "\tOn = FALSE;\n"
              "\tWhen = \"20140626000000.000000+000\";\n"
              "\tTags = {\"a b\", \"c\"};\n"
              "\tCodes = {4, 7};\n"
              "};\n");
}

TEST(ObjectText, ReadsBackWhatItWrote) {
    Instance original = Sample();
    Instance back = ReadObjectText(WriteObjectText(original), Schema());
    EXPECT_EQ(back.values, original.values);
}

TEST(ObjectText, RejectsMalformedText) {
    const char* bad[] = {
        "",
        "instance of Other_Class\n{\n};\n",
        "instance of Test_Text\n{\n",
        "instance of Test_Text\n{\n\tNope = 1;\n};\n",
        "instance of Test_Text\n{\n\tDelta = x;\n};\n",
        "instance of Test_Text\n{\n\tDelta = 99999999999999999999;\n};\n",
        "instance of Test_Text\n{\n\tSize = -1;\n};\n",
        "instance of Test_Text\n{\n\tName = \"open;\n};\n",
        "instance of Test_Text\n{\n\tName = bare;\n};\n",
        "instance of Test_Text\n{\n\tCodes = {1, 2;\n};\n",
        "instance of Test_Text\n{\n\tOn = maybe;\n};\n",
        "instance of Test_Text\n{\n\tDelta = 1;\n\tDelta = 2;\n};\n",
        "instance of Test_Text\n{\n};\ntrailing\n",
    };
    for (const char* text : bad) EXPECT_THROW(ReadObjectText(text, Schema()), WbemError) << text;
}
