## Korvane: шаблон сообщения для форума (BBCode), music лист.
## Блоки от строки {{#имя}} до строки {{/имя}}: header, category, categoryend, letter,
## letterend, row, footer. Метки: {{title}} {{count}} {{date}} {{category}} {{letter}}
## {{folder}} {{group}} {{album}} {{year}} {{size}} {{bitrate}} {{style}} {{country}} {{sep}}
## {{tracks}} {{time}} {{totals}} (число треков и время звучания, если они включены).
## Заголовок категории без [size]: phpBB 3 считает размер в процентах, vBulletin, SMF и
## XenForo - от 1 до 7; жирный красный читается везде.
{{#header}}
[b]{{title}} — альбомов: {{count}}[/b]

{{/header}}
{{#category}}

[b][color=red]{{category}}[/color][/b]
{{/category}}
{{#row}}
{{folder}}{{sep}}{{size}} mb{{sep}}{{bitrate}} kbps{{sep}}{{style}}{{sep}}{{country}}{{totals}}
{{/row}}
