#pragma once
// Every text the user sees, in English and in Japanese. One record per language holds all of
// them; views ask for the record of the chosen language (forLanguage) and take their texts from
// its fields, and they all switch together when the language setting changes.
//
// Texts whose field names end in "Format" carry placeholders: %d for a number, %@ for a text,
// filled in order by fill(). Both languages have the same placeholders in the same order.

#include "applanguage.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>
#include <utility>

// X(field, English, Japanese), in the order the record declares them. The first block is the
// interface proper; the second holds what the dual-pane habits and the Linux desktop add
// (permanent deletion, the progress of file jobs, messages of failed file operations).
#define TALLOWMERE_INTERFACE_TEXTS(X) \
    X(settingsFontSection, "Font", "フォント") \
    X(settingsMonospacedFont, "Monospaced Font", "等幅フォント") \
    X(settingsSystemMonospaced, "System Monospaced", "システム等幅") \
    X(settingsLanguageSection, "Language", "言語") \
    X(settingsLanguage, "Language", "言語") \
    X(languageSystem, "System", "システムに従う") \
    X(confirmBeforeTrashLabel, "Confirm Before Moving to Trash", "ゴミ箱の前に確認") \
    X(floatOnTop, "Float on Top", "最前面に表示") \
    X(pathBarSwitchToText, "Switch to Text Editing", "テキスト編集に切替") \
    X(pathBarSwitchToBreadcrumb, "Switch to Breadcrumb View", "パス階層表示に切替") \
    X(pathFieldPlaceholder, "Path", "パス") \
    X(columnName, "Name", "名前") \
    X(columnSize, "Size", "サイズ") \
    X(columnModified, "Date Modified", "更新日") \
    X(cannotOpen, "Can't Open", "開けません") \
    X(emptyFolder, "Empty Folder", "空のフォルダ") \
    X(noMatches, "No Matches", "該当なし") \
    X(filterPlaceholder, "Filter", "絞り込み") \
    X(errorTitle, "Error", "エラー") \
    X(ok, "OK", "OK") \
    X(close, "Close", "閉じる") \
    X(preview, "Preview", "プレビュー") \
    X(duplicateTitle, "An Item With the Same Name Already Exists", "同じ名前の項目があります") \
    X(replace, "Replace", "置き換える") \
    X(keepBoth, "Keep Both", "両方残す") \
    X(skip, "Skip", "スキップ") \
    X(applyToAllDuplicates, "Apply the chosen action to all duplicate items.", "選択した方法を、重複するすべての項目に適用します。") \
    X(undo, "Undo", "取り消す") \
    X(redo, "Redo", "やり直す") \
    X(copyPath, "Copy Path", "パスをコピー") \
    X(copy, "Copy", "コピー") \
    X(cut, "Cut", "カット") \
    X(paste, "Paste", "ペースト") \
    X(copyToOtherPane, "Copy to Other Pane", "もう片方のペインへコピー") \
    X(moveToOtherPane, "Move to Other Pane", "もう片方のペインへ移動") \
    X(rename, "Rename…", "名前を変更…") \
    X(bulkRename, "Bulk Rename…", "一括リネーム…") \
    X(modeReplace, "Replace", "置換") \
    X(modeSequence, "Sequence", "連番") \
    X(findLabel, "Find", "検索") \
    X(replaceLabel, "Replace With", "置換後") \
    X(baseNameLabel, "Base Name", "ベース名") \
    X(startNumberLabel, "Start Number", "開始番号") \
    X(applyConfirm, "Apply", "適用") \
    X(moveToTrash, "Move to Trash", "ゴミ箱に入れる") \
    X(revealInFileManager, "Show in File Manager", "ファイルマネージャで表示") \
    X(compress, "Compress", "圧縮") \
    X(extract, "Extract", "展開") \
    X(getInfo, "Get Info", "情報を見る") \
    X(infoKind, "Kind", "種類") \
    X(infoSize, "Size", "サイズ") \
    X(infoCreated, "Created", "作成日") \
    X(infoModified, "Modified", "更新日") \
    X(infoPermissions, "Permissions", "権限") \
    X(infoFolder, "Folder", "フォルダ") \
    X(calculating, "Calculating…", "計算中…") \
    X(renameTitle, "Rename", "名前を変更") \
    X(newNamePlaceholder, "New Name", "新しい名前") \
    X(cancel, "Cancel", "キャンセル") \
    X(renameConfirm, "Rename", "変更") \
    X(newFolderTitle, "New Folder", "新規フォルダ") \
    X(folderNamePlaceholder, "Folder Name", "フォルダ名") \
    X(newFileTitle, "New File", "新規ファイル") \
    X(fileNamePlaceholder, "File Name", "ファイル名") \
    X(duplicate, "Duplicate", "複製") \
    X(createConfirm, "Create", "作成") \
    X(sidebarFavorites, "Favorites", "よく使う場所") \
    X(sidebarBookmarks, "Bookmarks", "ブックマーク") \
    X(addBookmark, "Add Current Location", "現在の場所を追加") \
    X(removeBookmark, "Remove", "削除") \
    X(sidebarHome, "Home", "ホーム") \
    X(sidebarDesktop, "Desktop", "デスクトップ") \
    X(sidebarDocuments, "Documents", "書類") \
    X(sidebarDownloads, "Downloads", "ダウンロード") \
    X(sidebarApplications, "Applications", "アプリケーション") \
    X(showHiddenShow, "Show Hidden Files", "隠しファイルを表示") \
    X(showHiddenHide, "Hide Hidden Files", "隠しファイルを隠す") \
    X(showRightPane, "Show Right Pane", "右ペインを表示") \
    X(hideRightPane, "Hide Right Pane", "右ペインを隠す") \
    X(viewModeList, "List View", "リスト表示") \
    X(viewModeColumn, "Column View", "カラム表示") \
    X(fuzzyFinderPlaceholder, "Search files (under current folder)", "ファイルを検索（現在のフォルダ以下）") \
    X(fuzzyTypeToSearch, "Type to search", "入力して検索") \
    X(fuzzyTruncated, "Showing partial results (too many matches)", "結果が多いため一部のみ表示しています") \
    X(checkForUpdates, "Check for Updates…", "アップデートを確認…") \
    X(titleCreated, "Created", "作成") \
    X(titleModified, "Modified", "更新") \
    X(fontSizeFormat, "Size: %d pt", "サイズ: %d pt") \
    X(itemCountFormat, "%d items", "%d 項目") \
    X(oneItem, "1 item", "1 項目") \
    X(selectionSummaryFormat, "%d selected ・ %@ total", "%d 項目を選択 ・ 合計 %@") \
    X(freeSpaceFormat, "%@ free", "空き %@") \
    X(transferProgressFormat, "Transferring %d / %d", "転送中 %d / %d") \
    X(trashConfirmFormat, "Move %d items to Trash?", "%d 項目をゴミ箱に入れますか？") \
    X(itemsSelectedFormat, "%d items selected", "%d個の項目を選択") \

#define TALLOWMERE_ADDED_TEXTS(X) \
    X(openItem, "Open", "開く") \
    X(openInTerminal, "Open in Terminal", "ターミナルで開く") \
    X(settingsTitle, "Settings", "設定") \
    X(menuFile, "File", "ファイル") \
    X(menuEdit, "Edit", "編集") \
    X(menuView, "View", "表示") \
    X(settingsMenuItem, "Settings…", "設定…") \
    X(quit, "Quit", "終了") \
    X(selectAll, "Select All", "すべてを選択") \
    X(deletePermanently, "Delete Permanently…", "完全に削除…") \
    X(deletePermanentlyTitle, "Delete Permanently?", "完全に削除しますか？") \
    X(deletePermanentlyMessageFormat, "%d items will be deleted immediately. This can't be undone.", \
      "%d 項目をすぐに削除します。この操作は取り消せません。") \
    X(deletePermanentlyConfirm, "Delete Permanently", "完全に削除") \
    X(moveIntoItselfFormat, "“%@” can't be moved into itself or one of its own subfolders.", \
      "「%@」を、それ自身またはそのサブフォルダの中へ移動することはできません。") \
    X(copyIntoItselfFormat, "“%@” can't be copied into itself or one of its own subfolders.", \
      "「%@」を、それ自身またはそのサブフォルダの中へコピーすることはできません。") \
    X(closeWhileWorkingTitle, "A File Operation Is Still Running", "ファイル操作が実行中です") \
    X(closeWhileWorkingMessage, \
      "Closing the window stops it; what is done so far is kept.", \
      "ウインドウを閉じると操作は中止されます。完了した分はそのまま残ります。") \
    X(stopAndClose, "Stop and Close", "中止して閉じる") \
    X(keepWorking, "Keep Working", "作業を続ける") \
    X(copyProgressFormat, "Copying %d of %d — %@ of %@", "コピー中 %d / %d — %@ / %@") \
    X(moveProgressFormat, "Moving %d of %d — %@ of %@", "移動中 %d / %d — %@ / %@") \
    X(duplicateCountFormat, "Duplicating %d / %d", "複製中 %d / %d") \
    X(duplicateProgressFormat, "Duplicating %d of %d — %@ of %@", "複製中 %d / %d — %@ / %@") \
    X(compressCountFormat, "Compressing %d / %d", "圧縮中 %d / %d") \
    X(compressProgressFormat, "Compressing %d of %d — %@ of %@", "圧縮中 %d / %d — %@ / %@") \
    X(extractCountFormat, "Extracting %d / %d", "展開中 %d / %d") \
    X(extractProgressFormat, "Extracting %d of %d — %@ of %@", "展開中 %d / %d — %@ / %@") \
    X(trashCountFormat, "Moving to Trash %d / %d", "ゴミ箱に移動中 %d / %d") \
    X(deleteCountFormat, "Deleting %d / %d", "削除中 %d / %d") \
    X(readFailedFormat, "“%@” couldn't be read: %@", "「%@」を読み込めませんでした: %@") \
    X(listFailedFormat, "The contents of “%@” couldn't be listed: %@", "「%@」の内容を表示できませんでした: %@") \
    X(createFailedFormat, "“%@” couldn't be created: %@", "「%@」を作成できませんでした: %@") \
    X(createFolderFailedFormat, "The folder “%@” couldn't be created: %@", "フォルダ「%@」を作成できませんでした: %@") \
    X(createFileFailedFormat, "The file “%@” couldn't be created: %@", "ファイル「%@」を作成できませんでした: %@") \
    X(renameFailedFormat, "“%@” couldn't be renamed: %@", "「%@」の名前を変更できませんでした: %@") \
    X(moveFailedFormat, "“%@” couldn't be moved: %@", "「%@」を移動できませんでした: %@") \
    X(copyFailedFormat, "“%@” couldn't be copied: %@", "「%@」をコピーできませんでした: %@") \
    X(trashFailedFormat, "“%@” couldn't be moved to the Trash: %@", "「%@」をゴミ箱に入れられませんでした: %@") \
    X(restoreFailedFormat, "“%@” couldn't be put back from the Trash: %@", \
      "「%@」をゴミ箱から戻せませんでした: %@") \
    X(deleteFailedFormat, "“%@” couldn't be deleted: %@", "「%@」を削除できませんでした: %@") \
    X(compressFailedFormat, "“%@” couldn't be compressed: %@", "「%@」を圧縮できませんでした: %@") \
    X(extractFailedFormat, "“%@” couldn't be extracted: %@", "「%@」を展開できませんでした: %@") \
    X(inspectFailedFormat, "“%@” couldn't be examined: %@", "「%@」の情報を取得できませんでした: %@") \
    X(openFailedFormat, "“%@” couldn't be opened: %@", "「%@」を開けませんでした: %@") \
    X(reasonNotAnArchive, "The file isn't a readable archive", "読み取れるアーカイブではありません") \
    X(reasonNotWritten, "The item couldn't be written", "項目を書き込めませんでした") \
    X(reasonNameTaken, "An item with that name already exists", "同じ名前の項目がすでにあります") \
    X(reasonNoApplication, "No application is set to open this kind of item", \
      "この種類の項目を開くアプリケーションが設定されていません") \
    X(reasonNoOpener, "xdg-open, which opens items, isn't installed", \
      "項目を開くための xdg-open がインストールされていません") \
    X(reasonOpenerFailed, "The application set to open it couldn't be started", \
      "開くためのアプリケーションを起動できませんでした") \
    X(reasonNoTerminal, "No terminal program was found", "ターミナルのプログラムが見つかりません") \
    X(errorWithNotesFormat, "%@ (%@)", "%@（%@）") \
    X(noteSeparator, "; ", "。") \
    X(listSeparator, ", ", "、") \
    X(moreItemsFormat, " and %d more", " ほか %d 件") \
    X(noteNoRoomInFormat, "there is no room left in “%@”", "「%@」に空き容量がありません") \
    X(noteNotWritableFormat, "the folder “%@” can't be written to", "フォルダ「%@」に書き込めません") \
    X(noteNeedsMoreRoomFormat, "it needs %@, but only %@ are free in “%@”", \
      "%@ 必要ですが、空きは %@ だけです: 「%@」") \
    X(noteFolderAboveMoved, "a folder above it was moved meanwhile", "途中で上のフォルダが移動されました") \
    X(noteSpecialFile, "pipes, sockets and device files can't be copied", \
      "パイプ、ソケット、デバイスファイルはコピーできません") \
    X(noteIntoItself, "a folder can't be put inside itself", "フォルダをそれ自身の中に入れることはできません") \
    X(noteCantBeEmptied, "the items in it can't be deleted, so nothing was moved", \
      "中の項目を削除できないため、何も移動しませんでした") \
    X(noteCopiedButNotDeletedFormat, \
      "it was copied in full to “%@”, but the original could not be deleted completely (“%@”); both copies " \
      "exist and nothing is lost", \
      "「%@」にすべてコピーしましたが、元の項目を削除しきれませんでした（「%@」）。両方のコピーが残っており、" \
      "失われたものはありません") \
    X(noteCopiedButSomeLeftFormat, \
      "it was copied to “%@”, but these were written to or appeared during the move and were left where they " \
      "were: %@", \
      "「%@」にコピーしましたが、移動中に書き込まれたか現れた次の項目は元の場所に残しました: %@") \
    X(noteHoldsReplacement, "it holds the item that was to replace it", "置き換える項目がその中にあります") \
    X(noteReplacedIsInTrashFormat, "the item it was to replace is in the Trash at “%@”", \
      "置き換えられるはずだった項目はゴミ箱の「%@」にあります") \
    X(noteNowNamedFormat, "it is now named “%@”", "現在の名前は「%@」です") \
    X(noteKeptAsFormat, "it could not be given its name back and is kept as “%@”", \
      "元の名前に戻せなかったため、「%@」として残っています") \
    X(noteLeftUnderNewNameFormat, "“%@” is left under its new name “%@”", "「%@」は新しい名前「%@」のままです") \
    X(noteLeftUnderHiddenNameFormat, "“%@” is left under the hidden name “%@”", "「%@」は隠し名「%@」のままです") \
    X(noteInvalidNameFormat, "“%@” is not a valid name", "「%@」は有効な名前ではありません") \
    X(noteNameNotUtf8, "its name isn't valid UTF-8", "名前が有効な UTF-8 ではありません") \
    X(noteLinkTargetNotUtf8, "its link target isn't valid UTF-8", "リンク先が有効な UTF-8 ではありません") \
    X(noteChangedWhileCompressed, "the file changed while it was being compressed", "圧縮中にファイルが変更されました") \
    X(noteEntryTwiceFormat, "the entry “%@” appears twice", "項目「%@」が2回含まれています") \
    X(noteEntryOutsideFormat, "the entry “%@” would lie outside the folder", "項目「%@」はフォルダの外を指しています") \
    X(noteLinkOutsideFormat, "the link “%@” points outside the folder", "リンク「%@」はフォルダの外を指しています") \
    X(noteNoVolumeTrash, "no Trash folder can be made on its volume", "このボリュームにはゴミ箱を作成できません") \
    X(noteTrashNotMade, "the Trash folder can't be made", "ゴミ箱フォルダを作成できません") \
    X(noteTrashNotUsable, "the Trash folder can't be used", "ゴミ箱フォルダを使用できません") \
    X(noteOutsideVolume, "its original place lies outside its volume", "元の場所がボリュームの外にあります") \
    X(noteNoOriginalPlace, "its Trash record has no usable original place", "ゴミ箱の記録に使える元の場所がありません") \
    X(noteNotInTrash, "it isn't in a Trash folder", "ゴミ箱フォルダの中にありません") \
    X(noteRecordUnreadable, "its Trash record can't be read", "ゴミ箱の記録を読み込めません") \
    X(noteStaysInTrash, "it stays in the Trash", "ゴミ箱に残しました") \
    X(noteInTheWayFormat, "“%@” is in the way of its original folder", "「%@」が元のフォルダの場所をふさいでいます") \
    X(noteFolderNotRecreated, "its original folder can't be recreated", "元のフォルダを作り直せません") \
    X(noteMountPoint, "another volume is mounted there, and nothing on it was deleted", \
      "別のボリュームがマウントされているため、その中は何も削除していません") \
    X(dropCopyFormat, "Copy to “%@”", "「%@」へコピー") \
    X(dropMoveFormat, "Move to “%@”", "「%@」へ移動") \
    X(menuGo, "Go", "移動") \
    X(goBack, "Back", "戻る") \
    X(goForward, "Forward", "進む") \
    X(goUp, "Enclosing Folder", "上のフォルダ") \
    X(editLocation, "Enter Location…", "場所を入力…") \
    X(newTab, "New Tab", "新しいタブ") \
    X(nextTab, "Next Tab", "次のタブ") \
    X(previousTab, "Previous Tab", "前のタブ") \
    X(closeTab, "Close Tab", "タブを閉じる") \
    X(findFiles, "Find Files…", "ファイルを検索…") \
    X(sidebarDevices, "Devices", "デバイス") \
    X(fileSystemRoot, "File System", "ファイルシステム") \
    X(networkShareFormat, "%@ on %@", "%@（%@）") \
    X(volumeSizeFormat, "%@ Volume", "%@ ボリューム") \
    X(mountVolume, "Mount", "マウント") \
    X(unmountVolume, "Unmount", "マウント解除") \
    X(ejectVolume, "Eject", "取り出す") \
    X(mountFailedFormat, "“%@” couldn't be mounted: %@", "「%@」をマウントできませんでした: %@") \
    X(unmountFailedFormat, "“%@” couldn't be unmounted: %@", "「%@」のマウントを解除できませんでした: %@") \
    X(ejectFailedFormat, "“%@” couldn't be ejected: %@", "「%@」を取り出せませんでした: %@") \
    X(reasonVolumeBusy, "A program is still using it. Close the files open on it and try again.", \
      "プログラムが使用中です。開いているファイルを閉じてから、もう一度お試しください。") \
    X(reasonNotAuthorized, "You aren't allowed to do this", "この操作は許可されていません") \
    X(reasonNoDiskService, "The disk service (UDisks2) isn't answering", "ディスクサービス（UDisks2）が応答しません") \
    X(openWith, "Open With", "このアプリケーションで開く") \
    X(otherApplication, "Other Application…", "その他のアプリケーション…") \
    X(chooseApplicationTitle, "Open With", "このアプリケーションで開く") \
    X(chooseApplicationPromptFormat, "Choose an application to open “%@”:", "「%@」を開くアプリケーションを選んでください:") \
    X(defaultApplicationFormat, "%@ (Default)", "%@（デフォルト）") \
    X(launchFailedFormat, "“%@” couldn't be started", "「%@」を起動できませんでした") \

#define TALLOWMERE_ALL_TEXTS(X) TALLOWMERE_INTERFACE_TEXTS(X) TALLOWMERE_ADDED_TEXTS(X)

struct Localization
{
#define TALLOWMERE_DECLARE_TEXT(field, english, japanese) QString field;
    TALLOWMERE_ALL_TEXTS(TALLOWMERE_DECLARE_TEXT)
#undef TALLOWMERE_DECLARE_TEXT

    // The language the texts are in ("en" or "ja"), for texts that come from the system
    // (error reasons).
    QString languageCode;

    static const Localization &english();
    static const Localization &japanese();
    // Japanese and English give their record; system follows the first of the system's
    // preferred language tags (a tag that begins with "ja" gives Japanese; no tag, English).
    static const Localization &resolve(AppLanguage language, const QStringList &preferredLanguages);
    // resolve() over the desktop's preferred languages.
    static const Localization &forLanguage(AppLanguage language);

    // Field names and members, in declaration order, for code that walks every text.
    using Field = std::pair<const char *, QString Localization::*>;
    static std::span<const Field> fields();

    // The locale sizes and dates are written in with these texts: the system's own when it is
    // in the same language (its date order and separators), else the language's usual one.
    [[nodiscard]] QLocale formattingLocale() const;

    // Fills the placeholders of a Format text in order: %d and %@ each take the next value,
    // %% is a percent sign. Missing values leave the placeholder as it stands.
    [[nodiscard]] static QString fill(QStringView format, const QStringList &values);

    bool operator==(const Localization &) const = default;
};
