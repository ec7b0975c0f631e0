// One element of an SES-2 enclosure (a fan, a power supply, a temperature sensor, ...):
// its element type, index, descriptor text and status code. getElementType() and
// getElementDescriptor() identify an element when two trees are matched.
#pragma once

#include <string>

#include "raidlib/Enums.h"
#include "raidlib/RaidObject.h"

class BRIXVL_EXPORT SESElement : public RaidObject {
public:
    ~SESElement() override;

    bool isInstanceOf(const char* name) const override {
        return named(name, "SESElement") || RaidObject::isInstanceOf(name);
    }
    const char* typeName() const override { return "SESElement"; }
    const char* serializedName() const override { return "SESElement"; }
    RaidObject* clone() const override { return new SESElement(*this); }

    // The SES-2 element type code (EnumSESElementType).
    virtual int getElementType() const { return elementType_; }
    void setElementType(int type) { elementType_ = type; }
    // The element's descriptor text.
    virtual const char* getElementDescriptor() const { return descriptor_.c_str(); }
    void setElementDescriptor(const std::string& text) { descriptor_ = text; }

    int getElementIndex() const { return elementIndex_; }
    void setElementIndex(int index) { elementIndex_ = index; }
    EnumSESStatusCodes getStatusCode() const { return statusCode_; }
    void setStatusCode(EnumSESStatusCodes code) { statusCode_ = code; }

private:
    int elementType_ = SES_ELEMENT_UNSPECIFIED;
    int elementIndex_ = 0;
    std::string descriptor_;
    EnumSESStatusCodes statusCode_ = SES_STATUS_OK;
};
