#include "model/FileInfo.h"

CFileInfo::~CFileInfo() = default;

CChartType::~CChartType() = default;

void CChartType::Empty()
{
    files.Empty();
    name.clear();
}

CRegion::~CRegion() = default;

void CRegion::Empty()
{
    chartTypes.Empty();
    name.clear();
}

CProduct::~CProduct() = default;

void CProduct::Empty()
{
    regions.Empty();
    name.clear();
}
