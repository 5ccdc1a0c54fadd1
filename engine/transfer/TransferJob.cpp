#include "engine/transfer/TransferJob.h"

#include <wx/wxsqlite3.h>

#include "platform/WireText.h"

CTransferJob::CTransferJob() : address(tw::ToWire(settings.m_gatewayInfo.gateway)) {}

CTransferJob::CTransferJob(wxSQLite3Database* productDb, int productVersion, int marineZonesVersion)
    : address(tw::ResolveGatewayAddress(productDb, settings.m_gatewayInfo.gateway)),
      versionsKnown(true),
      productDbVersion(productVersion),
      marineZonesDbVersion(marineZonesVersion)
{
}

std::string tw::ResolveGatewayAddress(wxSQLite3Database* productDb, const wxString& gateway)
{
    if (!productDb || !productDb->IsOpen())
        return ToWire(gateway);
    try {
        wxSQLite3Statement stmt = productDb->PrepareStatement("SELECT IP FROM hosts WHERE hostname=?");
        stmt.Bind(1, gateway);
        wxSQLite3ResultSet rows = stmt.ExecuteQuery();
        if (rows.NextRow())
            return ToWire(rows.IsNull(0) ? wxString() : rows.GetAsString(0));
    } catch (const wxSQLite3Exception&) {
        // The configured name stays.
    }
    return ToWire(gateway);
}
