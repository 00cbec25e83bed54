#include "fileerror.h"

namespace qo::FileError {

QString reason(NativeFile::Error error) {
    using NativeFile::Cause;
    switch (NativeFile::causeOf(error)) {
    case Cause::NoPermission:
        return QStringLiteral("nema dozvole");
    case Cause::Locked:
        return QStringLiteral("nema dozvole (datoteka ili folder su zakljucani)");
    case Cause::ReadOnlyDisk:
        return QStringLiteral("disk je samo za citanje");
    case Cause::DiskFull:
        return QStringLiteral("nema dovoljno mesta na disku");
    case Cause::QuotaFull:
        return QStringLiteral("potrosen je prostor na disku koji vam je dodeljen");
    case Cause::DeviceError:
        return QStringLiteral("ulazno-izlazna greska uredjaja");
    case Cause::Missing:
        return QStringLiteral("datoteka ili folder ne postoje");
    case Cause::NotAFolder:
        return QStringLiteral("deo putanje nije folder");
    case Cause::IsAFolder:
        return QStringLiteral("to je folder");
    case Cause::NameTooLong:
        return QStringLiteral("ime je predugacko");
    case Cause::TooManyLinks:
        return QStringLiteral("previse veza u putanji");
    case Cause::TooManyOpen:
        return QStringLiteral("otvoreno je previse datoteka");
    case Cause::Busy:
        return QStringLiteral("datoteka je zauzeta");
    case Cause::Other:
        break;
    }
    return QStringLiteral("sistemska greska %1").arg(error);
}

QString reason(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("nema dozvole");
    case QFileDevice::ResourceError:
        return QStringLiteral("nema dovoljno mesta na disku");
    case QFileDevice::OpenError:
        return QStringLiteral("datoteka ili folder nisu dostupni");
    case QFileDevice::ReadError:
        return QStringLiteral("greska pri citanju");
    case QFileDevice::WriteError:
        return QStringLiteral("greska pri pisanju");
    case QFileDevice::RenameError:
        return QStringLiteral("nova verzija ne moze da zameni staru");
    default:
        return QStringLiteral("sistemska greska");
    }
}

QString notRegular(NativeFile::Kind kind) {
    QString what;
    switch (kind) {
    case NativeFile::Kind::Folder:
        what = QStringLiteral("folder");
        break;
    case NativeFile::Kind::Pipe:
        what = QStringLiteral("imenovana cev (FIFO)");
        break;
    case NativeFile::Kind::Device:
        what = QStringLiteral("uredjaj");
        break;
    case NativeFile::Kind::Socket:
        what = QStringLiteral("soket");
        break;
    default:
        what = QStringLiteral("posebna datoteka");
        break;
    }
    return QStringLiteral("to je %1, a ne obicna datoteka").arg(what);
}

} // namespace qo::FileError
