#include "raidlib/SES2EnclosureDevice.h"

SESElement* SES2EnclosureDevice::addElement(int elementType, int index,
                                            const std::string& descriptor,
                                            EnumSESStatusCodes status) {
    auto* element = new SESElement();
    element->setElementType(elementType);
    element->setElementIndex(index);
    element->setElementDescriptor(descriptor);
    element->setStatusCode(status);
    addChild(element);
    return element;
}
