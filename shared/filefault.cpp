#include "filefault.h"

#include <QDir>

namespace qo {

namespace {

QString kindText(NativeFile::Kind kind) {
    switch (kind) {
    case NativeFile::Kind::Folder:
        return QStringLiteral("folder");
    case NativeFile::Kind::Pipe:
        return QStringLiteral("imenovana cev (FIFO)");
    case NativeFile::Kind::Device:
        return QStringLiteral("uredjaj");
    case NativeFile::Kind::Socket:
        return QStringLiteral("soket");
    default:
        return QStringLiteral("posebna datoteka");
    }
}

// Why, as the end of the line: ": nema dozvole"; empty where nothing is known.
QString because(const FileFault& fault) {
    const QString cause = fault.error != 0 ? causeText(fault.error) : QString();
    const QString folder = QDir::toNativeSeparators(fault.folder);
    // A step of its own, with the system's cause after it where there is one.
    const auto step = [&](const QString& what) {
        return QStringLiteral(": ") + what +
               (cause.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(cause));
    };
    switch (fault.why) {
    case FileFault::Why::System:
        return cause.isEmpty() ? QString() : QStringLiteral(": ") + cause;
    case FileFault::Why::NotRegular:
        return QStringLiteral(": to je %1, a ne obicna datoteka").arg(kindText(fault.kind));
    case FileFault::Why::DanglingLink:
        return QStringLiteral(": veza vodi do datoteke koje nema");
    case FileFault::Why::FolderMissing:
        return QStringLiteral(": folder %1 ne postoji").arg(folder);
    case FileFault::Why::FolderRefuses:
        return step(QStringLiteral("u folder %1 se ne moze pisati").arg(folder));
    case FileFault::Why::OldUnreadable:
        return step(QStringLiteral("stara verzija se ne moze procitati"));
    case FileFault::Why::NotOnDisk:
        // A full disk says it all.
        if (NativeFile::causeOf(fault.error) == NativeFile::Cause::DiskFull)
            return QStringLiteral(": ") + cause;
        return step(QStringLiteral("podaci nisu zapisani na disk"));
    case FileFault::Why::NotReplaced:
        return step(QStringLiteral("nova verzija ne moze da zameni staru"));
    case FileFault::Why::KeptAside:
        return step(QStringLiteral("stare verzije vise nema, a nova je ostala u datoteci \"%1\"")
                        .arg(QDir::toNativeSeparators(fault.keptAs)));
    }
    return {};
}

} // namespace

QString describe(const FileFault& fault) {
    const QString file = QLatin1Char('"') + QDir::toNativeSeparators(fault.file) + QLatin1Char('"');
    const QString why = because(fault);
    if (fault.standardInput) {
        switch (fault.what) {
        case FileFault::What::Read:
            return QStringLiteral("standardni ulaz se ne moze procitati") + why;
        case FileFault::What::TooLarge:
            return QStringLiteral("na standardnom ulazu ima vise od %1 MiB, a nijedan skup ni "
                                  "izvor pitanja nije tako velik")
                .arg(fault.limit / (1024 * 1024));
        default:
            return QStringLiteral("standardni ulaz nije dostupan za citanje");
        }
    }
    switch (fault.what) {
    case FileFault::What::Open:
        return QStringLiteral("datoteka %1 se ne moze otvoriti").arg(file) + why;
    case FileFault::What::Missing:
        return QStringLiteral("datoteka %1 ne postoji").arg(file);
    case FileFault::What::Create:
        return QStringLiteral("datoteka %1 ne postoji i ne moze se napraviti").arg(file) + why;
    case FileFault::What::Read:
        return QStringLiteral("datoteka %1 se ne moze procitati").arg(file) + why;
    case FileFault::What::TooLarge:
        return QStringLiteral("datoteka %1 je prevelika: ima vise od %2 MiB, a nijedan skup "
                              "ni izvor pitanja nije tako velik")
            .arg(file)
            .arg(fault.limit / (1024 * 1024));
    case FileFault::What::NoInput:
        return QStringLiteral("standardni ulaz nije dostupan za citanje");
    case FileFault::What::Save:
        return QStringLiteral("datoteka %1 nije snimljena").arg(file) + why;
    case FileFault::What::Refused:
        return QStringLiteral("datoteka %1 se ne moze igrati. %2").arg(file, fault.reason);
    case FileFault::What::AlreadyOpen:
        return QStringLiteral(
                   "datoteka %1 se ne moze otvoriti: druga datoteka sa pitanjima je vec otvorena")
            .arg(file);
    case FileFault::What::NotOpen:
        return QStringLiteral("datoteka sa pitanjima nije otvorena");
    case FileFault::What::NoSetFolder:
        return QStringLiteral("datoteka %1 se ne moze otvoriti: folder sa pitanjima nije dostupan")
            .arg(file);
    }
    return {};
}

QString causeText(NativeFile::Error error) {
    using NativeFile::Cause;
    switch (NativeFile::causeOf(error)) {
    case Cause::NoPermission:
        return QStringLiteral("nema dozvole");
    case Cause::Locked:
        return QStringLiteral("nema dozvole, datoteka ili folder su zakljucani");
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
    case Cause::Exists:
        return QStringLiteral("datoteka vec postoji");
    case Cause::Other:
        break;
    }
    return QStringLiteral("sistemska greska %1").arg(error);
}

} // namespace qo
