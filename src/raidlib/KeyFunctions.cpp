// Out-of-line destructors of the library classes whose other virtual members are all inline.
// Each is its class's key function: the compiler then emits the class's virtual table and
// type information once, here in libbrixvl, instead of a copy in every module that uses the
// class. A host or libtlxvl refers to these, so a dynamic_cast or a catch across the module
// boundary sees one type.
#include "raidlib/Addr.h"
#include "raidlib/Addr2.h"
#include "raidlib/BrixLibPlugin.h"
#include "raidlib/Config.h"
#include "raidlib/DynamicBufferException.h"
#include "raidlib/FilterCollection.h"
#include "raidlib/OmdiAdapter.h"
#include "raidlib/PellAdapter.h"
#include "raidlib/PellBasicLogicalDrive.h"
#include "raidlib/PhysicalDevice.h"
#include "raidlib/Progress.h"
#include "raidlib/ProgressCollection.h"
#include "raidlib/Ret.h"
#include "raidlib/SATAChannel.h"
#include "raidlib/SES2EnclosureDevice.h"
#include "raidlib/SESElement.h"
#include "raidlib/SafteConfig.h"
#include "raidlib/SafteStatus.h"
#include "raidlib/Writer.h"

Addr::~Addr() = default;
Addr2::~Addr2() = default;
BrixLibPlugin::~BrixLibPlugin() = default;
Config::~Config() = default;
DynamicBufferException::~DynamicBufferException() = default;
FilterCollection::~FilterCollection() = default;
OmdiAdapter::~OmdiAdapter() = default;
PellAdapter::~PellAdapter() = default;
PellBasicLogicalDrive::~PellBasicLogicalDrive() = default;
PhysicalDevice::~PhysicalDevice() = default;
Progress::~Progress() = default;
ProgressCollection::~ProgressCollection() = default;
Ret::~Ret() = default;
SATAChannel::~SATAChannel() = default;
SES2EnclosureDevice::~SES2EnclosureDevice() = default;
SESElement::~SESElement() = default;
SafteConfig::~SafteConfig() = default;
SafteStatus::~SafteStatus() = default;
Writer::~Writer() = default;
